#include "text/CaseMapping.h"

#include "text/Graphemes.h"
#include "text/Lines.h"
#include "text/Utf.h"

#include <unicode/locid.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace lexorra::text {
namespace {

enum class Direction { upper, lower };

struct CaseMapDeleter {
    void operator()(UCaseMap* m) const { ucasemap_close(m); }
};
using CaseMapPtr = std::unique_ptr<UCaseMap, CaseMapDeleter>;

// A UCaseMap caches locale data; one per thread avoids sharing it between runs.
UCaseMap* rootCaseMap() {
    thread_local CaseMapPtr map = [] {
        UErrorCode status = U_ZERO_ERROR;
        return CaseMapPtr(ucasemap_open("", 0, &status));
    }();
    return map.get();
}

UCaseMap* wholeStringTitleMap() {
    thread_local CaseMapPtr map = [] {
        UErrorCode status = U_ZERO_ERROR;
        return CaseMapPtr(ucasemap_open("", U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_BREAK_ADJUSTMENT, &status));
    }();
    return map.get();
}

using Utf8Mapper = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

// Runs one of ICU's UTF-8 mappers over valid UTF-8, growing the output as needed.
void appendMapped(std::string& out, std::string_view s, Utf8Mapper mapper, UCaseMap* map) {
    if (s.empty()) return;
    const size_t at = out.size();
    int32_t capacity = static_cast<int32_t>(s.size() + s.size() / 2 + 8);
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.resize(at + static_cast<size_t>(capacity));
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n =
            mapper(map, out.data() + at, capacity, s.data(), static_cast<int32_t>(s.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            capacity = n;
            continue;
        }
        if (U_FAILURE(status)) {
            out.resize(at);
            out.append(s);
            return;
        }
        out.resize(at + static_cast<size_t>(n));
        return;
    }
}

int32_t utf8ToUpper(const UCaseMap* m, char* d, int32_t c, const char* s, int32_t n, UErrorCode* e) {
    return ucasemap_utf8ToUpper(m, d, c, s, n, e);
}
int32_t utf8ToLower(const UCaseMap* m, char* d, int32_t c, const char* s, int32_t n, UErrorCode* e) {
    return ucasemap_utf8ToLower(m, d, c, s, n, e);
}
int32_t utf8ToTitle(const UCaseMap* m, char* d, int32_t c, const char* s, int32_t n, UErrorCode* e) {
    return ucasemap_utf8ToTitle(const_cast<UCaseMap*>(m), d, c, s, n, e);
}

// Mappings of U+0080..U+07FF, the two-byte range where Latin, Greek and Cyrillic letters
// live. In the root locale every mapping there is context-free except capital sigma when
// lower-casing, which the caller handles.
class TwoByteTable {
public:
    explicit TwoByteTable(Direction direction) {
        for (UChar32 c = 0x80; c < 0x800; ++c) {
            UChar src[1] = {static_cast<UChar>(c)};
            UChar dst[8];
            UErrorCode status = U_ZERO_ERROR;
            const int32_t n = direction == Direction::upper ? u_strToUpper(dst, 8, src, 1, "", &status)
                                                            : u_strToLower(dst, 8, src, 1, "", &status);
            std::string mapped;
            if (U_SUCCESS(status)) mapped = toUtf8(icu::UnicodeString(dst, n));
            else appendCodePoint(mapped, static_cast<char32_t>(c));
            auto& e = m_entries[static_cast<size_t>(c - 0x80)];
            e.offset = static_cast<uint16_t>(m_pool.size());
            e.length = static_cast<uint8_t>(mapped.size());
            m_pool += mapped;
        }
    }
    std::string_view get(UChar32 c) const {
        const auto& e = m_entries[static_cast<size_t>(c - 0x80)];
        return {m_pool.data() + e.offset, e.length};
    }

private:
    struct Entry {
        uint16_t offset;
        uint8_t length;
    };
    std::array<Entry, 0x780> m_entries{};
    std::string m_pool;
};

const TwoByteTable& twoByteTable(Direction direction) {
    static const TwoByteTable upperTable(Direction::upper);
    static const TwoByteTable lowerTable(Direction::lower);
    return direction == Direction::upper ? upperTable : lowerTable;
}

// Maps ASCII letters in place; written so that the compiler vectorises it.
void mapAsciiInPlace(char* p, size_t n, Direction direction) {
    const unsigned char from = direction == Direction::upper ? 'a' : 'A';
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        const unsigned char isLetter = static_cast<unsigned char>(c - from) < 26u;
        p[i] = static_cast<char>(c ^ (isLetter << 5));
    }
}

size_t asciiRunEnd(std::string_view s, size_t i) {
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

std::string mapCase(std::string_view s, Direction direction) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    const auto& table = twoByteTable(direction);
    const Utf8Mapper mapper = direction == Direction::upper ? utf8ToUpper : utf8ToLower;
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto n = static_cast<int32_t>(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const size_t runEnd = asciiRunEnd(s, i);
        if (runEnd > i) {
            const size_t at = out.size();
            out.append(s.substr(i, runEnd - i));
            mapAsciiInPlace(out.data() + at, runEnd - i, direction);
            i = runEnd;
            continue;
        }
        // Non-ASCII: a two-byte character from the table, or a run of longer ones through ICU.
        auto pos = static_cast<int32_t>(i);
        UChar32 c;
        U8_NEXT(bytes, pos, n, c);
        if (c < 0) {
            out += "\xEF\xBF\xBD";
            i = static_cast<size_t>(pos);
            continue;
        }
        if (c < 0x800) {
            out += table.get(c);
            i = static_cast<size_t>(pos);
            continue;
        }
        size_t end = static_cast<size_t>(pos);
        while (end < s.size() && bytes[end] >= 0xE0) {
            auto next = static_cast<int32_t>(end);
            UChar32 d;
            U8_NEXT(bytes, next, n, d);
            if (d < 0) break;
            end = static_cast<size_t>(next);
        }
        appendMapped(out, s.substr(i, end - i), mapper, rootCaseMap());
        i = end;
    }
    return out;
}

bool isWordDelimiter(char32_t c) { return isWhitespaceOrNewline(c); }

std::string firstGraphemeMapped(std::string_view s, Direction direction) {
    if (s.empty()) return {};
    size_t firstEnd = 0;
    if (static_cast<unsigned char>(s[0]) < 0x80 && (s.size() == 1 || static_cast<unsigned char>(s[1]) < 0x80) &&
        !(s[0] == '\r' && s.size() > 1 && s[1] == '\n')) {
        firstEnd = 1;
    } else {
        const auto bounds = graphemeBoundaries(s);
        firstEnd = bounds.size() > 1 ? bounds[1] : s.size();
    }
    std::string out = mapCase(s.substr(0, firstEnd), direction);
    out.append(s.substr(firstEnd));
    return out;
}

} // namespace

std::string upper(std::string_view s) { return mapCase(s, Direction::upper); }

std::string lower(std::string_view s) {
    // Capital sigma lower-cases by its context (final or not): only ICU over the whole text knows.
    if (s.find("\xCE\xA3") == std::string_view::npos) return mapCase(s, Direction::lower);
    std::string out;
    if (isValidUtf8(s)) {
        appendMapped(out, s, utf8ToLower, rootCaseMap());
    } else {
        auto u = toUnicode(s);
        u.toLower(icu::Locale::getRoot());
        out = toUtf8(u);
    }
    return out;
}

void appendCapitalizedAscii(std::string& out, std::string_view ascii) {
    // Sixteen bytes at a time: each character is decided by the one before it rather than by a
    // flag carried along. Words are the runs between white space and line breaks (tab, space,
    // LF to CR).
    const size_t at = out.size();
    out.resize(at + ascii.size());
    auto* to = reinterpret_cast<unsigned char*>(out.data() + at);
    const auto* from = reinterpret_cast<const unsigned char*>(ascii.data());
    const size_t n = ascii.size();
    auto cased = [](unsigned c, unsigned before) {
        const bool atWordStart = before == ' ' || before - '\t' < 5U;
        const unsigned upper = c - (c - 'a' < 26U ? 32U : 0U);
        const unsigned lower = c + (c - 'A' < 26U ? 32U : 0U);
        return static_cast<unsigned char>(atWordStart ? upper : lower);
    };
    if (n == 0) return;
    to[0] = cased(from[0], ' ');
    using Bytes = unsigned char __attribute__((vector_size(16)));
    size_t i = 1;
    for (; i + 16 <= n; i += 16) {
        Bytes c, before;
        std::memcpy(&c, from + i, sizeof c);
        std::memcpy(&before, from + i - 1, sizeof before);
        const auto atWordStart = (before == ' ') | (static_cast<Bytes>(before - '\t') < 5);
        const auto upper = c - (reinterpret_cast<Bytes>(static_cast<Bytes>(c - 'a') < 26) & 32);
        const auto lower = c + (reinterpret_cast<Bytes>(static_cast<Bytes>(c - 'A') < 26) & 32);
        const Bytes result = atWordStart ? upper : lower;
        std::memcpy(to + i, &result, sizeof result);
    }
    for (; i < n; ++i) to[i] = cased(from[i], from[i - 1]);
}

std::string capitalizeWords(std::string_view s) {
    std::string out;
    if (isAscii(s)) {
        appendCapitalizedAscii(out, s);
        return out;
    }
    out.reserve(s.size());
    const std::string cleaned = isValidUtf8(s) ? std::string() : toUtf8(toUnicode(s));
    if (!cleaned.empty()) s = cleaned;
    size_t i = 0;
    while (i < s.size()) {
        // Delimiters pass through; each word is title-cased as a whole string.
        size_t wordStart = i;
        while (wordStart < s.size()) {
            size_t next = wordStart;
            if (!isWordDelimiter(nextCodePoint(s, next))) break;
            wordStart = next;
        }
        out.append(s.substr(i, wordStart - i));
        size_t wordEnd = wordStart;
        while (wordEnd < s.size()) {
            size_t next = wordEnd;
            if (isWordDelimiter(nextCodePoint(s, next))) break;
            wordEnd = next;
        }
        const std::string_view word = s.substr(wordStart, wordEnd - wordStart);
        appendMapped(out, word, utf8ToTitle, wholeStringTitleMap());
        i = wordEnd;
    }
    return out;
}

std::string initialUpper(std::string_view s) { return firstGraphemeMapped(s, Direction::upper); }
std::string initialLower(std::string_view s) { return firstGraphemeMapped(s, Direction::lower); }

} // namespace lexorra::text
