#include "text/Utf.h"

#include <unicode/utf8.h>

#include <cstring>

namespace lexorra::text {

icu::UnicodeString toUnicode(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
}

std::string toUtf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

std::string toUtf8(const icu::UnicodeString& s, int32_t start, int32_t length) {
    std::string out;
    s.tempSubString(start, length).toUTF8String(out);
    return out;
}

void appendCodePoint(std::string& out, char32_t c) {
    char buf[4];
    int32_t len = 0;
    UBool error = false;
    U8_APPEND(reinterpret_cast<uint8_t*>(buf), len, 4, static_cast<UChar32>(c), error);
    if (error) {
        out += "\xEF\xBF\xBD";
        return;
    }
    out.append(buf, static_cast<size_t>(len));
}

char32_t nextCodePoint(std::string_view s, size_t& i) {
    UChar32 c;
    int32_t pos = static_cast<int32_t>(i);
    U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), pos, static_cast<int32_t>(s.size()), c);
    i = static_cast<size_t>(pos);
    return c < 0 ? U'\uFFFD' : static_cast<char32_t>(c);
}

bool isAscii(std::string_view s) {
    // Eight bytes at a time: this runs over every input before the fast paths.
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ULL) return false;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) & 0x80) return false;
    return true;
}

bool isValidUtf8(std::string_view s) {
    if (isAscii(s)) return true;
    int32_t i = 0;
    const auto n = static_cast<int32_t>(s.size());
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    while (i < n) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0) return false;
    }
    return true;
}

size_t utf16Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        char32_t c = nextCodePoint(s, i);
        n += c > 0xFFFF ? 2 : 1;
    }
    return n;
}

} // namespace lexorra::text
