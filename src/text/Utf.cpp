#include "text/Utf.h"

#include <simdjson.h>
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
    // Runs over every input before the fast paths: 64 bytes per test, which the compiler
    // turns into vector instructions.
    size_t i = 0;
    for (; i + 64 <= s.size(); i += 64) {
        uint64_t any = 0;
        for (size_t k = 0; k < 64; k += 8) {
            uint64_t word;
            std::memcpy(&word, s.data() + i + k, 8);
            any |= word;
        }
        if (any & 0x8080808080808080ULL) return false;
    }
    // The rest eight bytes at a time, the last eight overlapping what was seen: most texts that
    // come here are short lines.
    uint64_t any = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        any |= word;
    }
    if (i < s.size()) {
        if (s.size() >= 8) {
            uint64_t word;
            std::memcpy(&word, s.data() + s.size() - 8, 8);
            any |= word;
        } else {
            for (; i < s.size(); ++i) any |= static_cast<unsigned char>(s[i]);
        }
    }
    return (any & 0x8080808080808080ULL) == 0;
}

bool isValidUtf8(std::string_view s) { return simdjson::validate_utf8(s.data(), s.size()); }

std::string_view utf8Prefix(std::string_view s, size_t bytes) {
    if (s.size() <= bytes) return s;
    while (bytes > 0 && (static_cast<unsigned char>(s[bytes]) & 0xC0) == 0x80) --bytes;
    return s.substr(0, bytes);
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
