#include "actions/chars/TextActionQuotesConverter.h"

#include "text/Regex.h"
#include "text/Utf.h"

#include <optional>
#include <vector>

namespace lexorra {
namespace {

struct Pass {
    std::optional<text::Regex> pattern;
    icu::UnicodeString replacement;
};

// The order matters: each pass sees what the earlier ones left, and the last two turn
// whatever is still straight into an opening double quote and a prime.
const std::vector<Pass>& curlyPasses() {
    static const std::vector<Pass> passes = [] {
        const std::pair<const char*, const char16_t*> table[] = {
            {"'n'", u"\u2019n\u2019"},
            {R"re((\W|^)"(\S))re", u"$1\u201C$2"},
            {R"re((“[^"]*)"([^"]*$|[^“"]*“))re", u"$1\u201D$2"},
            {R"re(([^\d])")re", u"$1\u201D"},
            {R"re('(\d\ds?))re", u"\u2019$1"},
            {R"re((\W|^)'(\S))re", u"$1\u2018$2"},
            {R"re(([a-z])'([a-z]))re", u"$1\u2019$2"},
            {R"re(((‘[^']*)|[a-z])'([^\d]|$))re", u"$1\u2019$3"},
            {R"re((\B|^)‘(?=([^‘’]*’\b)*([^‘’]*\B\W[‘’]\b|[^‘’]*$)))re", u"$1\u2019"},
            {R"re(")re", u"\u201C"},
            {"'", u"\u2032"},
        };
        std::vector<Pass> compiled;
        for (const auto& [pattern, replacement] : table)
            compiled.push_back({text::Regex::compile(pattern, {.caseInsensitive = true, .multiline = false}),
                                icu::UnicodeString(replacement)});
        return compiled;
    }();
    return passes;
}

std::string toCurly(std::string_view input) {
    icu::UnicodeString current = text::toUnicode(input);
    for (const auto& pass : curlyPasses()) {
        if (!pass.pattern) continue;
        auto result = pass.pattern->replaceAll(current, pass.replacement);
        // A pass that cannot finish (a cancelled run, or a text too large for the lookahead
        // of pass 9) leaves the text as the earlier passes made it.
        if (result.status != text::RegexStatus::ok) continue;
        current = std::move(result.text);
    }
    return text::toUtf8(current);
}

std::string toStraight(std::string_view input) {
    std::string out;
    out.reserve(input.size());
    for (size_t i = 0; i < input.size();) {
        const size_t at = i;
        const char32_t c = text::nextCodePoint(input, i);
        if (c == U'\u201C' || c == U'\u201D') out += '"';
        else if (c == U'\u2018' || c == U'\u2019') out += '\'';
        else if (c == U'\uFFFD') text::appendCodePoint(out, c);
        else out.append(input.substr(at, i - at));
    }
    return out;
}

} // namespace

TextActionQuotesConverter::TextActionQuotesConverter() : TextAction(TextActionType::quotesConverter) {
    setHasOptions(true);
    setShowDetails(true);
}

const OptionList& TextActionQuotesConverter::options() const {
    static const OptionList decls = {
        bind({.key = "Conversion",
              .label = "Convert:",
              .kind = OptionKind::menu,
              .cases = {{0, "toCurly", "Straight to Curly Quotes"}, {1, "toStraight", "Curly to Straight Quotes"}}},
             &TextActionQuotesConverter::conversion),
    };
    return decls;
}

std::string TextActionQuotesConverter::transform(std::string_view input) const {
    return conversion == QuotesConverterType::toStraight ? toStraight(input) : toCurly(input);
}

LEXORRA_ACTION_FACTORY(TextActionQuotesConverter)

} // namespace lexorra
