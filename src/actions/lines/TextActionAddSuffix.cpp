#include "actions/lines/TextActionAddSuffix.h"

namespace lexorra {
namespace {

// Byte length of the newline character at i (LF, VT, FF, CR, U+0085, U+2028, U+2029), or 0.
size_t newlineLength(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x0A && c <= 0x0D) return 1;
    if (c == 0xC2) return i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x85 ? 2 : 0;
    if (c == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80) {
        const auto last = static_cast<unsigned char>(s[i + 2]);
        return last == 0xA8 || last == 0xA9 ? 3 : 0;
    }
    return 0;
}

} // namespace

const OptionList& TextActionAddSuffix::options() const {
    using A = TextActionAddSuffix;
    static const OptionList decls = {
        bind({.key = "Suffix", .label = "Suffix:"}, &A::suffix),
    };
    return decls;
}

std::string TextActionAddSuffix::transform(std::string_view text) const {
    std::string out;
    out.reserve(text.size() + text.size() / 16 * suffix.size() + suffix.size());
    size_t start = 0;
    const auto endLine = [&](size_t end) {
        if (end == start) return;
        out.append(text, start, end - start);
        out += suffix;
    };
    for (size_t i = 0; i < text.size();) {
        const size_t length = newlineLength(text, i);
        if (length == 0) {
            ++i;
            continue;
        }
        endLine(i);
        out += '\n';
        i += length;
        start = i;
    }
    endLine(text.size());
    return out;
}

LEXORRA_ACTION_FACTORY(TextActionAddSuffix)

} // namespace lexorra
