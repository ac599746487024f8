#include "text/PercentCoding.h"

#include "text/FastUtf8Check.h"
#include "text/LargeBuffer.h"

#include <array>
#include <cstring>

namespace lexorra::text {
namespace {

struct QueryAllowed {
    std::array<bool, 256> allowed{};
    constexpr QueryAllowed() {
        for (int c = 'a'; c <= 'z'; ++c)
            allowed[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c)
            allowed[c] = true;
        for (int c = '0'; c <= '9'; ++c)
            allowed[c] = true;
        for (char c : std::string_view("-._~!$&'()*+,;=:@/?"))
            allowed[static_cast<unsigned char>(c)] = true;
    }
};
constexpr QueryAllowed queryAllowed;

constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string percentEncodeQuery(std::string_view utf8) {
    static constexpr char hex[] = "0123456789ABCDEF";
    // Counting first sizes the result exactly: allocating three bytes per input byte would
    // touch three times the memory for text that is mostly letters.
    size_t escaped = 0;
    for (char ch : utf8)
        escaped += !queryAllowed.allowed[static_cast<unsigned char>(ch)];
    std::string out;
    reserveLarge(out, utf8.size() + 2 * escaped);
    out.resize(utf8.size() + 2 * escaped);
    char* o = out.data();
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (queryAllowed.allowed[c]) {
            *o++ = ch;
        } else {
            o[0] = '%';
            o[1] = hex[c >> 4];
            o[2] = hex[c & 15];
            o += 3;
        }
    }
    return out;
}

std::optional<std::string> percentDecodeStrict(std::string_view text) {
    std::string out;
    reserveLarge(out, text.size());
    size_t last = 0;
    for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', last)) {
        out.append(text, last, at - last);
        if (at + 2 >= text.size()) return std::nullopt;
        const int high = hexValue(text[at + 1]);
        const int low = hexValue(text[at + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        last = at + 3;
    }
    out.append(text, last, std::string_view::npos);
    if (!isValidUtf8Fast(out)) return std::nullopt;
    return out;
}

} // namespace lexorra::text
