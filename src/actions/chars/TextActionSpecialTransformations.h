#pragma once

#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

enum class SpecialTransformationsType : int {
    unstyle = 0,
    circleLetters = 1,
    circleLettersFilled = 2,
    squareLetters = 3,
    squareLettersFilled = 4,
    bold = 5,
    italic = 6,
    boldItalic = 7,
    upsideDown = 8,
};

// Rewrites letters, digits and "?!&,_." into look-alike styled characters, or styled
// characters (from any of the known alphabets) back into plain ones.
//
//   TextActionSpecialTransformations a;   // circle letters
//   a.transform("abc 123") == "ⓐⓑⓒ ①②③";
class TextActionSpecialTransformations : public TextAction {
public:
    TextActionSpecialTransformations() : TextAction(TextActionType::specialTransformations) {}

    SpecialTransformationsType transformationType = SpecialTransformationsType::circleLetters;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
