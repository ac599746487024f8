#pragma once

#include "core/TextAction.h"

#include <cstdint>
#include <string>

namespace lexorra {

enum class NumberLinePositionType : std::int64_t {
    addNumberOnStart = 0,
    addNumberOnEnd = 1,
};

// Puts a running number, zero-padded decimal or Roman, between a prefix and a suffix at the
// start or the end of every line, empty lines included.
class TextActionNumberLines : public TextAction {
public:
    TextActionNumberLines() : TextAction(TextActionType::numberLines) {}

    std::int64_t numberOfDigits = 3;
    std::int64_t startValue = 1;
    std::int64_t stepValue = 1;
    NumberLinePositionType numberPositionType = NumberLinePositionType::addNumberOnStart;
    std::string numberPrefix;
    std::string numberSuffix = ".";
    bool romanNumerals = false;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
    bool readOptions(const Dictionary& dictionary) override;

    // Stored documents without a suffix predate the "." default and read back with this one.
    static constexpr std::string_view storedSuffixDefault = "_";
    // A field width beyond this is taken as this: it only ever pads with more zeros.
    static constexpr std::int64_t widestField = 4096;
};

// "MMXXIV" for 2024; "" for 0 and below; "??" above 3999.
std::string romanNumeral(std::int64_t n);

} // namespace lexorra
