// Any action kind with any option values over any text.
#include "FuzzInput.h"

#include "core/TextActionType.h"

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    int raw = in.byte() % 34;
    // The AI kind talks to a remote service; it is not something a fuzzer can drive.
    if (raw == static_cast<int>(TextActionType::chatGPT)) return 0;
    fuzz::runAction(static_cast<TextActionType>(raw), in);
    return 0;
}
