#include "actions/lines/TextActionRemoveCharacters.h"

#include "text/ClusterWalker.h"
#include "text/Lines.h"
#include "text/LiteralSearch.h"
#include "text/Regex.h"
#include "text/Utf.h"

#include <unicode/uchar.h>
#include <unicode/uniset.h>

#include <algorithm>
#include <array>
#include <bitset>

namespace lexorra {
namespace {

using Type = RemoveCharactersType;

// Copies the code points of the text that keep() accepts, as they were encoded.
template <class Keep> std::string keepCodePoints(std::string_view text, Keep keep) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t at = i;
        if (keep(text::nextCodePoint(text, i))) out.append(text, at, i - at);
    }
    return out;
}

// Without a branch per byte: every byte is written, and the end moves on past the kept ones.
template <class Keep> std::string keepBytes(std::string_view text, Keep keep) {
    std::string out(text.size(), '\0');
    size_t kept = 0;
    for (char c : text) {
        out[kept] = c;
        kept += keep(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    out.resize(kept);
    return out;
}

std::string removeSet(std::string_view text, std::string_view set) {
    if (set.empty()) return std::string(text);
    std::bitset<128> ascii;
    std::vector<char32_t> others;
    size_t i = 0;
    while (i < set.size()) {
        const char32_t c = text::nextCodePoint(set, i);
        if (c < 128)
            ascii.set(c);
        else
            others.push_back(c);
    }
    if (others.empty()) {
        // An ASCII byte is always a code point of its own, even beside broken sequences, and
        // every byte of any other is above 0x7F: the set can be applied to bytes.
        std::array<bool, 256> keep;
        for (size_t b = 0; b < keep.size(); ++b) keep[b] = b >= 128 || !ascii.test(b);
        return keepBytes(text, [&](unsigned char c) { return keep[c]; });
    }
    std::sort(others.begin(), others.end());
    return keepCodePoints(text, [&](char32_t c) {
        if (c < 128) return !ascii.test(c);
        return !std::binary_search(others.begin(), others.end(), c);
    });
}

bool isAlphanumericOrSpace(char32_t c) {
    if (c < 128) return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || text::isWhitespaceOrNewline(c);
    constexpr uint32_t alphanumeric = U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK;
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & alphanumeric) != 0 || text::isWhitespaceOrNewline(c);
}

// The emoji rule is an ICU pattern compiled case-insensitively; what it matches are
// single code points, so the set it stands for is worked out once by asking the
// compiled pattern about every candidate (the Emoji property and its case closure).
const icu::UnicodeSet& emojiSet() {
    static const icu::UnicodeSet set = [] {
        icu::UnicodeSet result;
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString pattern = text::toUnicode("[\\p{Emoji}&&[^0-9]&&[^*#©®‼⁉Ⓜ™ⓜ]]");
        std::unique_ptr<icu::RegexPattern> regex(icu::RegexPattern::compile(pattern, UREGEX_CASE_INSENSITIVE, status));
        icu::UnicodeSet candidates(UNICODE_STRING_SIMPLE("[\\p{Emoji}]"), status);
        if (U_FAILURE(status) || !regex) return result;
        candidates.closeOver(USET_CASE_INSENSITIVE);
        std::unique_ptr<icu::RegexMatcher> matcher(regex->matcher(status));
        for (int32_t r = 0; r < candidates.getRangeCount(); ++r) {
            for (UChar32 c = candidates.getRangeStart(r); c <= candidates.getRangeEnd(r); ++c) {
                const icu::UnicodeString one(c);
                matcher->reset(one);
                if (matcher->matches(status) && U_SUCCESS(status)) result.add(c);
                status = U_ZERO_ERROR;
            }
        }
        result.freeze();
        return result;
    }();
    return set;
}

std::string removeEmojis(std::string_view text) {
    const icu::UnicodeSet& emoji = emojiSet();
    std::string out;
    out.reserve(text.size());
    const auto length = static_cast<int32_t>(text.size());
    int32_t at = 0;
    while (at < length) {
        const int32_t keptEnd = emoji.spanUTF8(text.data() + at, length - at, USET_SPAN_NOT_CONTAINED) + at;
        out.append(text, static_cast<size_t>(at), static_cast<size_t>(keptEnd - at));
        at = keptEnd + emoji.spanUTF8(text.data() + keptEnd, length - keptEnd, USET_SPAN_CONTAINED);
    }
    return out;
}

// Applies the rule to every line (split at line feeds) and joins the results.
template <class EditLine> std::string eachLine(std::string_view text, EditLine edit) {
    std::string out;
    out.reserve(text.size());
    bool first = true;
    for (auto line : text::splitLines(text)) {
        if (!first) out += '\n';
        first = false;
        edit(out, line);
    }
    return out;
}

std::string lineRule(std::string_view text, Type type, size_t count, std::string_view marker) {
    text::ClusterWalker walker;
    switch (type) {
    case Type::removeNonNumeric:
        return eachLine(text, [](std::string& out, std::string_view line) {
            for (char c : line)
                if (c >= '0' && c <= '9') out += c;
        });
    case Type::deleteAfterPosition:
        return eachLine(text, [&](std::string& out, std::string_view line) {
            out += line.substr(0, walker.prefixBytes(line, count));
        });
    case Type::deleteBeforePosition:
        return eachLine(text, [&](std::string& out, std::string_view line) {
            out += line.substr(walker.prefixBytes(line, count));
        });
    case Type::lastCharacters:
        return eachLine(text, [&](std::string& out, std::string_view line) {
            const auto& bounds = walker.boundaries(line);
            const size_t clusters = bounds.size() - 1;
            out += line.substr(0, clusters > count ? bounds[clusters - count] : 0);
        });
    case Type::deleteAfterText:
    case Type::deleteBeforeText:
        // A text that holds a line feed can never occur inside one line.
        if (marker.empty() || marker.find('\n') != std::string_view::npos) return std::string(text);
        return eachLine(text, [&](std::string& out, std::string_view line) {
            const auto matches = text::findLiteral(line, marker, false);
            if (matches.empty())
                out += line;
            else if (type == Type::deleteAfterText)
                out += line.substr(0, matches.front().end);
            else
                out += line.substr(matches.front().begin);
        });
    default: return std::string(text);
    }
}

} // namespace

const OptionList& TextActionRemoveCharacters::options() const {
    using A = TextActionRemoveCharacters;
    auto showFor = [](std::initializer_list<Type> types) {
        std::vector<Type> wanted(types);
        return [wanted](const TextAction& a) {
            return std::find(wanted.begin(), wanted.end(), static_cast<const A&>(a).removeCharactersType) !=
                   wanted.end();
        };
    };
    static const OptionList decls = {
        bind({.key = "CharactersForDelete", .label = "Characters:", .visible = showFor({Type::deleteCharacters})},
             &A::charactersForDelete),
        bind({.key = "AfterBeforeText",
              .label = "Text:",
              .visible = showFor({Type::deleteAfterText, Type::deleteBeforeText})},
             &A::afterBeforeText),
        bind({.key = "RemoveCharactersType",
              .label = "Remove:",
              .kind = OptionKind::menu,
              .cases = {{0, "deleteCharacters", "selected characters"},
                        {1, "removeNonAlphanumeric", "non-alphanumeric"},
                        {2, "removeNumeric", "numeric characters"},
                        {3, "removeNonNumeric", "non numeric"},
                        {4, "removeTabs", "tabs"},
                        {5, "removeSpaces", "spaces"},
                        {6, "removeEmojis", "emojis"},
                        {7, "deleteAfterPosition", "characters after position"},
                        {8, "deleteBeforePosition", "characters before position"},
                        {9, "deleteAfterText", "characters after text"},
                        {10, "deleteBeforeText", "characters before text"},
                        {11, "lastCharacters", "last characters"},
                        {12, "nonASCII", "non ASCII characters"}}},
             &A::removeCharactersType),
        bind({.key = "Position",
              .label = "Number:",
              .kind = OptionKind::stepper,
              .minimum = 0,
              .maximum = 44444412,
              .step = 1,
              .visible = showFor({Type::deleteAfterPosition, Type::deleteBeforePosition, Type::lastCharacters})},
             &A::position),
    };
    return decls;
}

std::string TextActionRemoveCharacters::transform(std::string_view text) const {
    switch (removeCharactersType) {
    case Type::deleteCharacters: return removeSet(text, charactersForDelete);
    case Type::removeNonAlphanumeric: return keepCodePoints(text, isAlphanumericOrSpace);
    case Type::removeNumeric: return keepBytes(text, [](unsigned char c) { return c < '0' || c > '9'; });
    case Type::removeTabs: return keepBytes(text, [](unsigned char c) { return c != '\t'; });
    case Type::removeSpaces: return keepBytes(text, [](unsigned char c) { return c != ' '; });
    case Type::removeEmojis: return removeEmojis(text);
    // Every byte of a code point above U+007F (and of any broken sequence) is above 0x7F.
    case Type::nonASCII: return keepBytes(text, [](unsigned char c) { return c < 0x80; });
    default: break;
    }
    // A negative count from a hand-edited document counts as none.
    const size_t count = position > 0 ? static_cast<size_t>(position) : 0;
    return lineRule(text, removeCharactersType, count, afterBeforeText);
}

LEXORRA_ACTION_FACTORY(TextActionRemoveCharacters)

} // namespace lexorra
