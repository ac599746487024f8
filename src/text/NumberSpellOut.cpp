#include "text/NumberSpellOut.h"

#include "text/Utf.h"

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/rbnf.h>

#include <charconv>
#include <cmath>

namespace lexorra::text {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars takes a minus sign but no plus sign; "+-1" is no number at all.
std::string_view withoutPlus(std::string_view token) {
    if (token.empty() || token.front() != '+') return token;
    token.remove_prefix(1);
    return !token.empty() && (token.front() == '+' || token.front() == '-') ? std::string_view() : token;
}

} // namespace

std::optional<long long> parseWholeNumber(std::string_view token) {
    const std::string_view body = withoutPlus(token);
    if (body.empty()) return std::nullopt;
    const size_t digitsFrom = body.front() == '-' ? 1 : 0;
    if (digitsFrom == body.size()) return std::nullopt;
    for (size_t i = digitsFrom; i < body.size(); ++i)
        if (!isDigit(body[i])) return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size()) return std::nullopt;
    return value;
}

std::optional<double> parseDecimalFraction(std::string_view token) {
    const std::string_view body = withoutPlus(token);
    if (body.empty()) return std::nullopt;
    // Only decimal notation with at least one digit in the mantissa: no hex, no "inf".
    size_t i = body.front() == '-' ? 1 : 0;
    size_t mantissaDigits = 0;
    while (i < body.size() && isDigit(body[i]))
        ++i, ++mantissaDigits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < body.size() && isDigit(body[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != body.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

NumberSpeller::NumberSpeller(const icu::Locale& locale) : m_locale(locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT, locale, status);
    if (U_SUCCESS(status)) m_format = std::move(format);
}

NumberSpeller::~NumberSpeller() = default;

std::optional<std::string> NumberSpeller::spellOut(std::string_view token) const {
    if (!m_format) return std::nullopt;
    icu::UnicodeString words;
    if (auto whole = parseWholeNumber(token)) {
        m_format->format(static_cast<int64_t>(*whole), words);
    } else if (auto fraction = parseDecimalFraction(token)) {
        const double value = *fraction;
        if (std::fabs(value) < 9007199254740992.0) { // 2^53
            m_format->format(value, words);
        } else if (std::fabs(value) < 9223372036854775808.0) { // 2^63
            // The formatter's double path saturates near 2^54 and spells a wrong number; from
            // 2^53 on a double holds a whole number, which the integer path spells right.
            m_format->format(static_cast<int64_t>(value), words);
        } else {
            // Past the integer path: what the rules write for numbers this large anyway, the
            // digits in groups, here of the decimal text as written.
            UErrorCode status = U_ZERO_ERROR;
            icu::DecimalFormat digits(u"#,##0", new icu::DecimalFormatSymbols(m_locale, status), status);
            digits.setMaximumFractionDigits(100);
            const std::string decimal(withoutPlus(token));
            icu::Formattable number(icu::StringPiece(decimal), status);
            icu::FieldPosition position;
            if (U_SUCCESS(status)) digits.format(number, words, position, status);
            if (U_FAILURE(status)) return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    return toUtf8(words);
}

} // namespace lexorra::text
