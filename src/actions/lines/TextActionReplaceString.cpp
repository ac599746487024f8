#include "actions/lines/TextActionReplaceString.h"

#include "text/LiteralSearch.h"
#include "text/Regex.h"
#include "text/Utf.h"

namespace lexorra {

std::string processLineFeedEscapes(std::string_view text) {
    if (text.find("\\\\n") != std::string_view::npos) return text::replaceExact(text, "\\\\n", "\\n");
    return text::replaceExact(text, "\\n", "\n");
}

const OptionList& TextActionReplaceString::options() const {
    using A = TextActionReplaceString;
    static const OptionList decls = {
        bind({.key = "ReplaceString", .label = "Find:", .hint = "text or pattern; \\n is a line break"},
             &A::replaceString),
        bind({.key = "WithString", .label = "Replace:", .hint = "replacement; $1 names a group in RegEx mode"},
             &A::withString),
        bind({.key = "CaseSensitive", .label = "Case Sensitive"}, &A::caseSensitive),
        bind({.key = "isRegEx", .label = "Regular Expression"}, &A::isRegEx),
    };
    return decls;
}

std::string TextActionReplaceString::transform(std::string_view text) const {
    notValidRegEx = false;
    if (replaceString.empty()) return std::string(text);
    const std::string replacement = processLineFeedEscapes(withString);

    if (!isRegEx) return text::replaceLiteral(text, processLineFeedEscapes(replaceString), replacement, !caseSensitive);

    // The pattern is compiled as typed: \n already means a line feed to the regex engine.
    auto regex = text::Regex::compile(replaceString, {.caseInsensitive = !caseSensitive, .multiline = true});
    if (!regex) {
        notValidRegEx = true;
        return std::string(invalidRegExMarker);
    }
    auto result = regex->replaceAll(text, replacement);
    switch (result.status) {
    case text::RegexStatus::ok: return std::move(result.text);
    case text::RegexStatus::timedOut: return std::string(timedOutMarker);
    case text::RegexStatus::cancelled: return std::string(text);
    default: return std::string(tooComplexMarker);
    }
}

LEXORRA_ACTION_FACTORY(TextActionReplaceString)

} // namespace lexorra
