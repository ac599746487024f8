#pragma once

#include "core/TextAction.h"

#include <cstdint>

namespace lexorra {

enum class RemoveDuplicatesType : std::int64_t {
    duplicatesLines = 0,
    duplicatesWords = 1,
};

// Keeps the first of equal lines (or words); equal means canonically equivalent,
// case counts.
class TextActionRemoveDuplicates : public TextAction {
public:
    TextActionRemoveDuplicates() : TextAction(TextActionType::removeDuplicates) {}

    RemoveDuplicatesType duplicatesType = RemoveDuplicatesType::duplicatesLines;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
