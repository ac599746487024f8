// The Markdown renderer, through the actions that use them.
#include "FuzzInput.h"

#include <array>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr std::array kinds{TextActionType::markdownToHtml};
    fuzz::Input in(data, size);
    fuzz::runAction(kinds[in.byte() % kinds.size()], in);
    return 0;
}
