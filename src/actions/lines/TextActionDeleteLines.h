#pragma once

#include "core/TextAction.h"

#include <cstdint>
#include <string>

namespace lexorra {

// Each case names the lines that are removed.
enum class DeleteLinesType : std::int64_t {
    containingText = 0,
    startingWithText = 1,
    notContainingText = 2,
    notStartingWithText = 3,
};

// Removes the lines that pass a test against checkText (case-sensitive, canonically
// equivalent sequences equal); the kept lines are joined with line feeds.
class TextActionDeleteLines : public TextAction {
public:
    TextActionDeleteLines() : TextAction(TextActionType::deleteRows) {}

    DeleteLinesType deleteLinesType = DeleteLinesType::containingText;
    std::string checkText;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
