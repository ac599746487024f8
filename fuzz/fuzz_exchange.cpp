// Workflow exchange files as a user might import them.
#include "core/WorkflowDocuments.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ImportIds ids = (data[0] & 1) ? ImportIds::keep : ImportIds::fresh;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    ImportResult result = readExchangeText(text, ids);
    if (!result.loaded && !result.workflows.empty()) __builtin_trap();
    if (!result.workflows.empty()) {
        // An imported list exports and imports again to the same number of workflows.
        ImportResult again = readExchangeText(exchangeJson(result.workflows), ImportIds::keep);
        if (again.workflows.size() != result.workflows.size()) __builtin_trap();
    }
    return 0;
}
