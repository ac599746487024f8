#pragma once

#include "core/TextAction.h"

#include <cstdint>

namespace lexorra {

enum class ReorderLinesType : std::int64_t {
    original = 0,
    reverse = 1,
    alphabetical = 2, // the file browser's order: locale collation, numbers by value
    random = 3,
    length = 4, // by user-perceived characters, shorter first
};

// Sorts, reverses or shuffles the lines of the text. Sorting is stable.
class TextActionReorderLines : public TextAction {
public:
    TextActionReorderLines() : TextAction(TextActionType::reorderLines) {}

    ReorderLinesType reorderType = ReorderLinesType::alphabetical;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
