#pragma once

#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

enum class QuotesConverterType : int {
    toCurly = 0,
    toStraight = 1,
};

// Straight quotation marks to typographic ones by a fixed chain of pattern passes, or back.
//
//   TextActionQuotesConverter a;           // to curly
//   a.transform("say \"hi\", don't") == "say “hi”, don’t";
class TextActionQuotesConverter : public TextAction {
public:
    TextActionQuotesConverter();

    QuotesConverterType conversion = QuotesConverterType::toCurly;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
