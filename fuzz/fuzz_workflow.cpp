// Stored workflow and action dictionaries: whatever a hand-edited or foreign file holds.
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/TextActionSeq.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto seq = TextActionSeq::fromJsonString(text)) {
        // What was read back must write out and read in again.
        auto again = TextActionSeq::fromJsonString(seq->jsonString());
        if (!again || again->actionsArray.size() != seq->actionsArray.size()) __builtin_trap();
    }
    if (auto value = json::parse(text); value && value->isMap()) {
        if (auto action = actionFromDictionary(*value)) {
            auto copy = fromDictionary(action->type, action->toDictionary());
            if (!copy) __builtin_trap();
        }
    }
    return 0;
}
