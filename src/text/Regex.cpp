#include "text/Regex.h"

#include "text/Cancellation.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace lexorra::text {
namespace {

// Polled by ICU during long match attempts: a stale run stops matching at once.
UBool U_CALLCONV matchCallback(const void*, int32_t) {
    return !runIsStale();
}

RegexStatus statusFrom(UErrorCode status) {
    if (status == U_REGEX_TIME_OUT) return RegexStatus::timedOut;
    if (status == U_REGEX_STOPPED_BY_CALLER) return runIsStale() ? RegexStatus::cancelled : RegexStatus::timedOut;
    if (status == U_REGEX_STACK_OVERFLOW) return RegexStatus::tooComplex;
    return RegexStatus::tooComplex;
}

// One piece of a parsed substitution template.
struct TemplatePiece {
    icu::UnicodeString literal;
    int32_t group = -1; // >= 0: a group reference
};

std::vector<TemplatePiece> parseTemplate(const icu::UnicodeString& tmpl, int32_t groupCount) {
    const int32_t ranges = groupCount + 1;
    int32_t maxDigits = 1;
    for (int64_t magnitude = 10; magnitude < ranges && maxDigits < 20; magnitude *= 10)
        ++maxDigits;

    std::vector<TemplatePiece> pieces;
    icu::UnicodeString literal;
    const int32_t n = tmpl.length();
    for (int32_t i = 0; i < n;) {
        UChar c = tmpl.charAt(i);
        if (c == u'\\') {
            if (i + 1 < n) literal.append(tmpl.charAt(i + 1));
            i += 2;
            continue;
        }
        if (c == u'$') {
            int32_t j = i + 1;
            int32_t group = -1;
            while (j < n && j < i + 1 + maxDigits && tmpl.charAt(j) >= u'0' && tmpl.charAt(j) <= u'9') {
                group = (group < 0 ? 0 : group * 10) + (tmpl.charAt(j) - u'0');
                ++j;
            }
            if (group >= 0) {
                if (!literal.isEmpty()) pieces.push_back({literal, -1});
                literal.remove();
                pieces.push_back({{}, group < ranges ? group : -2}); // -2: no such group, expands to nothing
                i = j;
                continue;
            }
        }
        literal.append(c);
        ++i;
    }
    if (!literal.isEmpty()) pieces.push_back({literal, -1});
    return pieces;
}

// Maps UTF-16 offsets of a text to byte offsets of its UTF-8 form by walking forward from the
// last one; a step back walks again from the anchor (a known pair, such as the start of the
// current match), or from the beginning when it goes before that (rare: lookbehinds).
class OffsetMap {
public:
    OffsetMap(std::string_view utf8, bool ascii) : m_text(utf8), m_ascii(ascii) {}
    void anchor(int32_t unit, size_t byte) {
        m_anchorUnit = m_unit = unit;
        m_anchorByte = m_byte = byte;
    }
    size_t byteOffset(int32_t unit) {
        if (m_ascii) return static_cast<size_t>(unit);
        if (unit < m_unit) {
            if (unit < m_anchorUnit) m_anchorUnit = 0, m_anchorByte = 0;
            m_unit = m_anchorUnit;
            m_byte = m_anchorByte;
        }
        while (m_unit < unit && m_byte < m_text.size()) {
            const char32_t c = nextCodePoint(m_text, m_byte);
            m_unit += c > 0xFFFF ? 2 : 1;
        }
        return m_byte;
    }

private:
    std::string_view m_text;
    bool m_ascii;
    size_t m_byte = 0;
    int32_t m_unit = 0;
    size_t m_anchorByte = 0;
    int32_t m_anchorUnit = 0;
};

} // namespace

Regex::Utf8ReplaceResult Regex::replaceDigitRuns(std::string_view input, std::string_view replacementTemplate) const {
    struct Piece {
        std::string literal;
        int32_t group;
    };
    std::vector<Piece> pieces;
    for (auto& p : parseTemplate(toUnicode(replacementTemplate), groupCount()))
        pieces.push_back({toUtf8(p.literal), p.group});
    const bool anyScript = m_digitRun == DigitRun::anyScript;
    Utf8ReplaceResult result;
    result.text.reserve(input.size() + input.size() / 8);
    size_t last = 0;
    size_t nextPoll = size_t{1} << 20;
    // Whether a digit starts at i; next is then where its code point ends.
    auto digitAt = [&](size_t i, size_t& next) {
        next = i + 1;
        const auto byte = static_cast<unsigned char>(input[i]);
        if (byte < 0x80) return byte >= '0' && byte <= '9';
        const char32_t c = nextCodePoint(input, --next);
        return anyScript && u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER;
    };
    for (size_t i = 0, next = 0; i < input.size(); i = next) {
        if (i >= nextPoll) {
            if (runIsStale()) return {RegexStatus::cancelled, {}};
            nextPoll = i + (size_t{1} << 20);
        }
        if (!digitAt(i, next)) continue;
        const size_t start = i;
        size_t end = next;
        while (end < input.size() && digitAt(end, next))
            end = next;
        next = end;
        result.text.append(input, last, start - last);
        for (const auto& piece : pieces) {
            if (piece.group == -1)
                result.text += piece.literal;
            else if (piece.group >= 0)
                result.text.append(input, start, end - start);
        }
        last = end;
    }
    result.text.append(input, last, std::string_view::npos);
    return result;
}

Regex::Utf8ReplaceResult Regex::replaceAll(std::string_view input, std::string_view replacementTemplate) const {
    Utf8ReplaceResult result;
    // Invalid UTF-8 would not map back byte for byte: take the UTF-16 route for it.
    const bool ascii = isAscii(input);
    if (m_digitRun != DigitRun::none && (ascii || isValidUtf8(input)))
        return replaceDigitRuns(input, replacementTemplate);
    if (!ascii && !isValidUtf8(input)) {
        auto r = replaceAll(toUnicode(input), toUnicode(replacementTemplate));
        result.status = r.status;
        if (r.status == RegexStatus::ok) result.text = toUtf8(r.text);
        return result;
    }
    const icu::UnicodeString text = toUnicode(input);
    UErrorCode status = U_ZERO_ERROR;
    auto m = matcher(text, status);
    if (!m) {
        result.status = statusFrom(status);
        return result;
    }
    struct Piece {
        std::string literal;
        int32_t group;
    };
    std::vector<Piece> pieces;
    for (auto& p : parseTemplate(toUnicode(replacementTemplate), m->groupCount()))
        pieces.push_back({toUtf8(p.literal), p.group});

    OffsetMap matchMap(input, ascii);
    OffsetMap groupMap(input, ascii);
    result.text.reserve(input.size() + input.size() / 8);
    size_t last = 0;
    while (m->find(status)) {
        const size_t start = matchMap.byteOffset(m->start(status));
        // Groups are looked up from the match on, in any order the template names them.
        groupMap.anchor(m->start(status), start);
        result.text.append(input.data() + last, start - last);
        for (const auto& piece : pieces) {
            if (piece.group == -1) {
                result.text += piece.literal;
            } else if (piece.group >= 0) {
                const int32_t gs = m->start(piece.group, status);
                if (gs < 0) continue;
                const size_t b = groupMap.byteOffset(gs);
                const size_t e = groupMap.byteOffset(m->end(piece.group, status));
                result.text.append(input.data() + b, e - b);
            }
        }
        last = matchMap.byteOffset(m->end(status));
    }
    if (U_FAILURE(status)) {
        result.status = statusFrom(status);
        result.text.clear();
        return result;
    }
    result.text.append(input.data() + last, input.size() - last);
    return result;
}

std::optional<Regex> Regex::compile(std::string_view pattern, RegexOptions options, std::string* error) {
    uint32_t flags = 0;
    if (options.caseInsensitive) flags |= UREGEX_CASE_INSENSITIVE;
    if (options.multiline) flags |= UREGEX_MULTILINE;
    if (options.dotAll) flags |= UREGEX_DOTALL;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    std::shared_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(toUnicode(pattern), flags, parseError, status));
    if (U_FAILURE(status) || !compiled) {
        if (error) *error = u_errorName(status);
        return std::nullopt;
    }
    Regex regex(std::move(compiled));
    // Numbers are the commonest thing replaced by pattern; their run is found by a scan that
    // needs no UTF-16 copy of the text. Case and line flags change nothing for digits.
    if (pattern == "\\d+" || pattern == "(\\d+)")
        regex.m_digitRun = DigitRun::anyScript;
    else if (pattern == "[0-9]+" || pattern == "([0-9]+)")
        regex.m_digitRun = DigitRun::ascii;
    return regex;
}

int32_t Regex::groupCount() const {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(m_pattern->matcher(status));
    return U_SUCCESS(status) ? m->groupCount() : 0;
}

std::unique_ptr<icu::RegexMatcher> Regex::matcher(const icu::UnicodeString& input, UErrorCode& status) const {
    // The matcher keeps a reference to input: callers keep it alive while matching.
    std::unique_ptr<icu::RegexMatcher> m(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) return nullptr;
    // The limit holds per match attempt, and an attempt may walk a long stretch of text before
    // it finds nothing: a long input gets steps in proportion, about a hundred operations per
    // character, so only backtracking that explodes runs out.
    const std::int64_t steps = std::int64_t{m_timeLimit} + input.length() / 100;
    m->setTimeLimit(static_cast<int32_t>(std::min<std::int64_t>(steps, INT32_MAX)), status);
    m->setMatchCallback(matchCallback, nullptr, status);
    return m;
}

RegexStatus Regex::forEachMatch(const icu::UnicodeString& input,
                                const std::function<bool(const icu::RegexMatcher&)>& visit) const {
    UErrorCode status = U_ZERO_ERROR;
    auto m = matcher(input, status);
    if (!m) return statusFrom(status);
    while (m->find(status)) {
        if (!visit(*m)) return RegexStatus::ok;
    }
    if (U_FAILURE(status)) return statusFrom(status);
    return RegexStatus::ok;
}

Regex::ReplaceResult Regex::replaceAll(const icu::UnicodeString& input,
                                       const icu::UnicodeString& replacementTemplate) const {
    ReplaceResult result;
    UErrorCode status = U_ZERO_ERROR;
    auto m = matcher(input, status);
    if (!m) {
        result.status = statusFrom(status);
        return result;
    }
    const auto pieces = parseTemplate(replacementTemplate, m->groupCount());
    int32_t last = 0;
    while (m->find(status)) {
        const int32_t start = m->start(status);
        const int32_t end = m->end(status);
        result.text.append(input, last, start - last);
        for (const auto& piece : pieces) {
            if (piece.group == -1) {
                result.text.append(piece.literal);
            } else if (piece.group >= 0) {
                const int32_t gs = m->start(piece.group, status);
                if (gs >= 0) result.text.append(input, gs, m->end(piece.group, status) - gs);
            }
        }
        last = end;
    }
    if (U_FAILURE(status)) {
        result.status = statusFrom(status);
        result.text.remove();
        return result;
    }
    result.text.append(input, last, input.length() - last);
    return result;
}

} // namespace lexorra::text
