#pragma once

#include <unicode/locid.h>
#include <unicode/rbnf.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra::text {

// Spells out numbers written in ASCII decimal, in a locale's words:
//   NumberSpeller english(icu::Locale("en"));
//   english.spellOut("42") == "forty-two"; english.spellOut("3.5") == "three point five"
//   english.spellOut("a2") == std::nullopt
class NumberSpeller {
public:
    explicit NumberSpeller(const icu::Locale& locale = icu::Locale::getDefault());
    ~NumberSpeller();
    NumberSpeller(const NumberSpeller&) = delete;
    NumberSpeller& operator=(const NumberSpeller&) = delete;

    // A whole number ("42", "-7", "+3") or a decimal fraction ("3.5", ".5", "5.", "1e3")
    // spelled out; nullopt for anything else or when the locale has no spell-out rules.
    std::optional<std::string> spellOut(std::string_view token) const;

private:
    icu::Locale m_locale;
    std::unique_ptr<icu::RuleBasedNumberFormat> m_format;
};

// The whole-number and decimal-fraction readings behind spellOut, exposed for callers that
// need the value: a sign, then digits; or a decimal fraction with optional exponent.
std::optional<long long> parseWholeNumber(std::string_view token);
std::optional<double> parseDecimalFraction(std::string_view token);

} // namespace lexorra::text
