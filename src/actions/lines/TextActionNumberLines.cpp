#include "actions/lines/TextActionNumberLines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <utility>

namespace lexorra {
namespace {

// Field width as a printf-style "%0*lld" takes it: a negative width left-aligns with spaces.
void appendPadded(std::string& out, std::int64_t value, std::int64_t width) {
    std::array<char, 24> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const std::string_view number(digits.data(), static_cast<size_t>(end - digits.data()));
    const bool leftAligned = width < 0;
    const std::int64_t magnitude = leftAligned ? (width == std::numeric_limits<std::int64_t>::min()
                                                      ? TextActionNumberLines::widestField
                                                      : -width)
                                               : width;
    const size_t field = static_cast<size_t>(std::min(magnitude, TextActionNumberLines::widestField));
    const size_t padding = field > number.size() ? field - number.size() : 0;
    if (leftAligned) {
        out += number;
        out.append(padding, ' ');
    } else if (value < 0) {
        out += '-';
        out.append(padding, '0');
        out.append(number.substr(1));
    } else {
        out.append(padding, '0');
        out += number;
    }
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

} // namespace

std::string romanNumeral(std::int64_t n) {
    if (n > 3999) return "??";
    static constexpr std::array<std::pair<int, std::string_view>, 13> table = {{{1000, "M"},
                                                                                {900, "CM"},
                                                                                {500, "D"},
                                                                                {400, "CD"},
                                                                                {100, "C"},
                                                                                {90, "XC"},
                                                                                {50, "L"},
                                                                                {40, "XL"},
                                                                                {10, "X"},
                                                                                {9, "IX"},
                                                                                {5, "V"},
                                                                                {4, "IV"},
                                                                                {1, "I"}}};
    std::string numeral;
    for (const auto& [value, symbols] : table) {
        while (n >= value) {
            numeral += symbols;
            n -= value;
        }
    }
    return numeral;
}

const OptionList& TextActionNumberLines::options() const {
    using A = TextActionNumberLines;
    static const OptionList decls = {
        bind({.key = "NumberOfDigits", .label = "Digits:", .kind = OptionKind::stepper, .minimum = 1, .maximum = 121},
             &A::numberOfDigits),
        bind({.key = "StartValue",
              .label = "Start Value:",
              .kind = OptionKind::stepper,
              .minimum = -10001,
              .maximum = 44444412},
             &A::startValue),
        bind({.key = "StepValue", .label = "Step:", .kind = OptionKind::stepper, .minimum = -10001, .maximum = 999912},
             &A::stepValue),
        bind({.key = "NumberPrefix", .label = "Number Prefix:"}, &A::numberPrefix),
        bind({.key = "NumberSuffix", .label = "Number Suffix:"}, &A::numberSuffix),
        bind({.key = "NumberLinePositionType",
              .label = "Add number:",
              .kind = OptionKind::menu,
              .cases = {{0, "addNumberOnStart", "at the beginning"}, {1, "addNumberOnEnd", "at the end"}}},
             &A::numberPositionType),
        bind({.key = "RomanNumerals", .label = "Roman Numerals"}, &A::romanNumerals),
    };
    return decls;
}

bool TextActionNumberLines::readOptions(const Dictionary& dictionary) {
    if (!TextAction::readOptions(dictionary)) return false;
    const Value* suffix = dictionary.get("NumberSuffix");
    if (!suffix || !suffix->isString()) numberSuffix = std::string(storedSuffixDefault);
    return true;
}

std::string TextActionNumberLines::transform(std::string_view text) const {
    const bool atStart = numberPositionType != NumberLinePositionType::addNumberOnEnd;
    std::string out;
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    const size_t width = static_cast<size_t>(std::clamp<std::int64_t>(numberOfDigits, 0, 24));
    out.reserve(text.size() + lines * (numberPrefix.size() + numberSuffix.size() + width + 1));
    std::int64_t counter = startValue;
    const auto appendNumber = [&] {
        out += numberPrefix;
        if (romanNumerals)
            out += romanNumeral(counter);
        else
            appendPadded(out, counter, numberOfDigits);
        out += numberSuffix;
    };
    size_t start = 0;
    while (true) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        if (atStart) appendNumber();
        out.append(text, start, end - start);
        if (!atStart) appendNumber();
        counter = saturatingAdd(counter, stepValue);
        if (lineFeed == std::string_view::npos) break;
        out += '\n';
        start = lineFeed + 1;
    }
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionNumberLines)

} // namespace lexorra
