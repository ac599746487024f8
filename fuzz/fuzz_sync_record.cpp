// Record files that another machine (or a damaged sync) left in the sync folder.
#include "core/Json.h"
#include "core/SyncFolder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto value = json::parse(text);
    if (!value) return 0;
    if (auto record = SyncFolder::recordFromValue(*value)) {
        auto again = SyncFolder::recordFromValue(SyncFolder::recordToValue(*record));
        if (!again) __builtin_trap();
        (void)SyncFolder::supersedes(*record, *again);
    }
    return 0;
}
