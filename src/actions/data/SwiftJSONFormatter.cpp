#include "actions/data/SwiftJSONFormatter.h"

#include <algorithm>

namespace lexorra {

namespace {

bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

std::string SwiftJSONFormatter::format(std::string_view json, std::string_view indent, std::string_view lineBreak,
                                       std::string_view afterColon) {
    std::string out;
    out.reserve(json.size() + json.size() / 2);
    long level = 0;
    const auto newLine = [&] {
        out += lineBreak;
        for (long i = 0; i < level; ++i) out += indent;
    };
    const auto skipSpace = [&](size_t& i) {
        while (i < json.size() && isJsonSpace(json[i])) ++i;
    };

    size_t i = 0;
    while (i < json.size()) {
        const char c = json[i++];
        switch (c) {
        case '{':
        case '[':
            out += c;
            skipSpace(i);
            if (i < json.size() && (json[i] == '}' || json[i] == ']')) {
                out += json[i++];
            } else {
                ++level;
                newLine();
            }
            break;
        case '}':
        case ']':
            --level; // unbalanced input only loses indentation
            newLine();
            out += c;
            break;
        case '"': {
            const size_t start = i - 1;
            while (i < json.size() && json[i] != '"') i += json[i] == '\\' ? 2 : 1;
            i = std::min(i + 1, json.size());
            out.append(json, start, i - start);
            break;
        }
        case ',':
            skipSpace(i);
            out += ',';
            if (!(i < json.size() && (json[i] == '}' || json[i] == ']'))) newLine();
            break;
        case ':':
            out += ':';
            out += afterColon;
            break;
        default:
            if (!isJsonSpace(c)) out += c;
        }
    }
    return out;
}

} // namespace lexorra
