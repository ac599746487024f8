#include "actions/chars/TextActionConvertCase.h"

#include "text/CaseMapping.h"
#include "text/Graphemes.h"
#include "text/LexicalTagger.h"
#include "text/Lines.h"
#include "text/Regex.h"
#include "text/SecureRandom.h"
#include "text/SentenceSplitter.h"
#include "text/Utf.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <optional>

namespace lexorra {
namespace convert_case {
namespace {

using text::LexicalClass;

std::string_view trimSpacesAndTabs(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Splits into sentences and rebuilds them, one space apart: each with its runs of spaces made
// one, lower-cased if asked, and its first character upper case. Each sentence is built where it
// lands in the result, without copies of its own when it is plain ASCII.
std::string sentencePass(std::string_view line, bool lowerCase) {
    std::string out;
    out.reserve(line.size());
    for (auto sentence : text::sentences(line)) {
        if (!out.empty()) out += ' ';
        const size_t at = out.size();
        out.append(sentence);
        if (sentence.find("  ") != std::string_view::npos) {
            size_t kept = at;
            for (size_t i = at; i < out.size(); ++i)
                if (out[i] != ' ' || kept == at || out[kept - 1] != ' ') out[kept++] = out[i];
            out.resize(kept);
        }
        if (lowerCase) out.replace(at, std::string::npos, text::lower(std::string_view(out).substr(at)));
        // A first character that is one ASCII byte, with nothing combining after it, is upper-cased
        // in place; anything else goes through the full mapping.
        const std::string_view appended = std::string_view(out).substr(at);
        const auto first = static_cast<unsigned char>(appended[0]);
        const bool plain = first < 0x80 && (appended.size() == 1 || static_cast<unsigned char>(appended[1]) < 0x80) &&
                           !(first == '\r' && appended.size() > 1 && appended[1] == '\n');
        if (!plain) out.replace(at, std::string::npos, text::initialUpper(appended));
        else if (first >= 'a' && first <= 'z') out[at] = static_cast<char>(first - 32);
    }
    return out;
}

bool isCapitalisedClass(LexicalClass c) {
    return c == LexicalClass::noun || c == LexicalClass::verb || c == LexicalClass::adjective ||
           c == LexicalClass::pronoun || c == LexicalClass::determiner || c == LexicalClass::adverb;
}

// Classes that count as a word of the title only when they are at least two characters long.
bool countsOnlyWhenLong(LexicalClass c) {
    return c == LexicalClass::dash || c == LexicalClass::otherWord || c == LexicalClass::other ||
           c == LexicalClass::openQuote || c == LexicalClass::whitespace || c == LexicalClass::otherWhitespace ||
           c == LexicalClass::openParenthesis;
}

bool isAlphanumeric(char32_t c) {
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

// Grapheme clusters of ASCII text: one per character, CR LF counting once.
size_t asciiGraphemeCount(std::string_view s) {
    size_t count = s.size();
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '\r' && s[i + 1] == '\n') --count;
    return count;
}

bool isArticle(std::string_view word) {
    auto is = [&](std::string_view article) {
        if (word.size() != article.size()) return false;
        for (size_t i = 0; i < word.size(); ++i)
            if ((word[i] | 0x20) != article[i]) return false;
        return true;
    };
    return is("a") || is("an") || is("the");
}

// ASCII text capitalised as text::capitalizeWords does it, or lower-cased.
void appendAsciiCased(std::string& out, std::string_view s, bool capitalise) {
    if (capitalise) {
        text::appendCapitalizedAscii(out, s);
        return;
    }
    const size_t at = out.size();
    out.append(s);
    for (char* p = out.data() + at; p != out.data() + out.size(); ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p + 32);
}

std::vector<std::string_view> wordPieces(std::string_view line) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t i = 0; i < line.size();) {
        const size_t at = i;
        if (!isAlphanumeric(text::nextCodePoint(line, i))) {
            pieces.push_back(line.substr(start, at - start));
            start = i;
        }
    }
    pieces.push_back(line.substr(start));
    return pieces;
}

// Random bits from the system's secure source, fetched in blocks.
class RandomBits {
public:
    bool next() {
        if (m_bit == 0) refill();
        const bool bit = (m_block[m_byte] >> (m_bit - 1)) & 1;
        if (--m_bit == 0) ++m_byte;
        return bit;
    }

private:
    void refill() {
        if (m_byte >= m_block.size()) {
            text::fillSecureRandom(m_block.data(), m_block.size());
            m_byte = 0;
        }
        m_bit = 8;
    }
    std::array<unsigned char, 4096> m_block{};
    size_t m_byte = 4096;
    int m_bit = 0;
};

} // namespace

std::string titleCaseLine(std::string_view line) {
    // Buffers kept by the thread from one line to the next.
    thread_local std::string capitalised;
    thread_local std::vector<text::TaggedToken> tokens;
    thread_local std::string built;
    const bool asciiLine = text::isAscii(line);
    if (asciiLine) {
        capitalised.clear();
        text::appendCapitalizedAscii(capitalised, line);
    } else {
        capitalised = text::capitalizeWords(line);
    }
    const std::string_view trimmed = trimSpacesAndTabs(capitalised);
    text::LexicalTagger::shared().tag(trimmed, tokens);
    const bool anyUnplaced = std::any_of(tokens.begin(), tokens.end(),
                                         [](const auto& token) { return token.lexicalClass == LexicalClass::none; });
    built.clear();
    int counter = 0;
    for (const auto& token : tokens) {
        const auto cls = token.lexicalClass;
        if (cls == LexicalClass::none) continue;
        const bool ascii = asciiLine || text::isAscii(token.text);
        const size_t length = ascii ? asciiGraphemeCount(token.text) : text::graphemeCount(token.text);
        if (!countsOnlyWhenLong(cls) || length >= 2) ++counter;
        if (ascii) {
            // The rule below with ASCII case mapping in place of the Unicode one, without copies.
            const bool capitalise =
                counter == 1 || ((isCapitalisedClass(cls) || length >= 4) && !isArticle(token.text));
            if (asciiLine && !anyUnplaced) {
                // Capitalised already, a token has its first character left to settle: the others
                // follow no white space, since no token holds white space and a character besides.
                char& first = capitalised[static_cast<size_t>(token.text.data() - capitalised.data())];
                if (capitalise && first >= 'a' && first <= 'z') first = static_cast<char>(first - 32);
                else if (!capitalise && first >= 'A' && first <= 'Z') first = static_cast<char>(first + 32);
            } else {
                appendAsciiCased(built, token.text, capitalise);
            }
            continue;
        }
        const std::string lowered = text::lower(token.text);
        std::string choice;
        if (isCapitalisedClass(cls) || length >= 4) choice = text::capitalizeWords(token.text);
        else choice = lowered;
        if (lowered == "a" || lowered == "an" || lowered == "the") choice = lowered;
        if (counter == 1) choice = text::capitalizeWords(token.text);
        built += choice;
    }
    std::string result = sentencePass(asciiLine && !anyUnplaced ? trimmed : std::string_view(built), false);
    // One huge line does not keep its share of the buffers.
    constexpr size_t keptBytes = size_t{1} << 16;
    if (capitalised.capacity() > keptBytes || built.capacity() > keptBytes) {
        std::string().swap(capitalised);
        std::string().swap(built);
        std::vector<text::TaggedToken>().swap(tokens);
    }
    return result;
}

std::string sentenceCaseLine(std::string_view line) {
    const std::string capitalised = text::capitalizeWords(trimSpacesAndTabs(line));
    return sentencePass(capitalised, true);
}

std::string camelCaseLine(std::string_view line, bool pascal) {
    std::string out;
    out.reserve(line.size());
    bool first = true;
    for (auto piece : wordPieces(line)) {
        out += first && !pascal ? text::initialLower(piece) : text::initialUpper(piece);
        first = false;
    }
    return out;
}

std::string splitIdentifiers(std::string_view line, bool snake) {
    static const std::array<std::optional<text::Regex>, 3> passes = {
        text::Regex::compile("([A-Z]+)([A-Z][a-z]|[0-9])", {.multiline = false}),
        text::Regex::compile("([a-z])([A-Z]|[0-9])", {.multiline = false}),
        text::Regex::compile("([0-9])([A-Z])", {.multiline = false}),
    };
    static const icu::UnicodeString normal = u"$1 $2";
    static const icu::UnicodeString underscored = u"$1_$2";
    icu::UnicodeString current = text::toUnicode(line);
    for (const auto& pass : passes) {
        if (!pass) continue;
        auto result = pass->replaceAll(current, snake ? underscored : normal);
        // These fixed patterns are linear; a failure can only be a cancelled run.
        if (result.status != text::RegexStatus::ok) break;
        current = std::move(result.text);
    }
    return text::lower(text::toUtf8(current));
}

std::string randomCase(std::string_view input) {
    RandomBits bits;
    std::string out;
    out.reserve(input.size());
    if (text::isAscii(input)) {
        for (char c : input) {
            const bool up = bits.next();
            if (c >= 'a' && c <= 'z' && up) c = static_cast<char>(c - 32);
            else if (c >= 'A' && c <= 'Z' && !up) c = static_cast<char>(c + 32);
            out += c;
        }
        return out;
    }
    for (auto g : text::graphemes(input)) out += bits.next() ? text::upper(g) : text::lower(g);
    return out;
}

std::string alternatingCase(std::string_view input) {
    std::string out;
    out.reserve(input.size());
    bool flag = false;
    for (auto g : text::graphemes(input)) {
        size_t i = 0;
        if (!u_isUAlphabetic(static_cast<UChar32>(text::nextCodePoint(g, i)))) {
            out += g;
            continue;
        }
        out += flag ? text::lower(g) : text::upper(g);
        flag = !flag;
    }
    return out;
}

} // namespace convert_case

namespace {

template <class Convert> std::string byLine(std::string_view input, Convert convert) {
    std::vector<std::string> lines;
    for (auto line : text::splitLines(input)) lines.push_back(convert(line));
    return text::join(lines);
}

} // namespace

const OptionList& TextActionConvertCase::options() const {
    static const OptionList decls = {
        bind({.key = "CaseType",
              .label = "Case:",
              .kind = OptionKind::menu,
              .cases = {{0, "original", "Original"},
                        {1, "upperCase", "Upper Case"},
                        {2, "lowerCase", "Lower Case"},
                        {3, "capitalizeWords", "Capitalize Each Word"},
                        {4, "titleCase", "Title Case"},
                        {5, "sentenceCase", "Sentence Case"},
                        {6, "camelCase", "Camel Case"},
                        {7, "pascalCase", "Pascal Case"},
                        {8, "camelCaseToNormal", "Camel Case to Normal"},
                        {9, "camelCaseToSnakeCase", "Camel Case To Snake Case"},
                        {10, "randomcase", "Random Case"},
                        {11, "alternatingCase", "aLtErNaTiNg CAsE"}}},
             &TextActionConvertCase::caseType),
    };
    return decls;
}

std::string TextActionConvertCase::transform(std::string_view input) const {
    using namespace convert_case;
    switch (caseType) {
    case ConvertCaseType::original: return std::string(input);
    case ConvertCaseType::upperCase: return text::upper(input);
    case ConvertCaseType::lowerCase: return text::lower(input);
    case ConvertCaseType::capitalizeWords: return text::capitalizeWords(input);
    case ConvertCaseType::titleCase: return text::mapLines(input, titleCaseLine);
    case ConvertCaseType::sentenceCase: return text::mapLines(input, sentenceCaseLine);
    case ConvertCaseType::camelCase: return byLine(input, [](std::string_view l) { return camelCaseLine(l, false); });
    case ConvertCaseType::pascalCase: return byLine(input, [](std::string_view l) { return camelCaseLine(l, true); });
    case ConvertCaseType::camelCaseToNormal:
        return byLine(input, [](std::string_view l) { return splitIdentifiers(l, false); });
    case ConvertCaseType::camelCaseToSnakeCase:
        return byLine(input, [](std::string_view l) { return splitIdentifiers(l, true); });
    case ConvertCaseType::randomcase: return randomCase(input);
    case ConvertCaseType::alternatingCase: return alternatingCase(input);
    }
    return std::string(input);
}

LEXORRA_ACTION_FACTORY(TextActionConvertCase)

} // namespace lexorra
