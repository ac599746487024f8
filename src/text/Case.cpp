#include "text/Case.h"

#include "text/CaseMapping.h"
#include "text/Utf.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>

namespace lexorra::text {

std::string foldCase(std::string_view s) {
    auto u = toUnicode(s);
    u.foldCase(U_FOLD_CASE_DEFAULT);
    return toUtf8(u);
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace lexorra::text
