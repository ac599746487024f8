#include "text/Graphemes.h"
#include "text/Lines.h"
#include "text/LiteralSearch.h"
#include "text/Regex.h"
#include "text/Utf.h"

#include <gtest/gtest.h>

#include <unicode/normalizer2.h>

#include <chrono>
#include <random>

using namespace lexorra;
using namespace lexorra::text;

TEST(Lines, SplitKeepsEmptyPiecesAndJoinRestores) {
    struct Case {
        std::string in;
        std::vector<std::string_view> pieces;
    };
    const Case cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\n", {"a", ""}},
        {"\n\nb", {"", "", "b"}},
        {"a\r\nb", {"a\r", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitLines(c.in), c.pieces) << c.in;
        EXPECT_EQ(join(splitLines(c.in)), c.in);
    }
}

TEST(Lines, MapLinesOverThreadsKeepsTheOrderOfOneByOne) {
    std::string text;
    for (int i = 0; i < 150000; ++i) text += std::to_string(i) + (i % 3 ? "\n" : "\n\n");
    auto convert = [](std::string_view line) { return "<" + std::string(line) + ">"; };
    std::vector<std::string> oneByOne;
    for (auto line : splitLines(text)) oneByOne.push_back(convert(line));
    EXPECT_EQ(mapLines(text, convert), join(oneByOne));
}

TEST(Lines, NewlineSetSplitsEveryNewlineCharacterSeparately) {
    EXPECT_EQ(splitAtNewlines("a\r\nb\u2028c\x0B"), (std::vector<std::string_view>{"a", "", "b", "c", ""}));
}

TEST(Lines, WhitespaceSetsAreExactlyTheListedCharacters) {
    for (char32_t c : {U' ', U'\t', U'\u00A0', U'\u1680', U'\u2000', U'\u200A', U'\u202F', U'\u205F', U'\u3000'})
        EXPECT_TRUE(isWhitespace(c)) << static_cast<uint32_t>(c);
    for (char32_t c : {U'\n', U'\x0B', U'\x0C', U'\r', U'\u0085', U'\u2028', U'\u2029'}) {
        EXPECT_TRUE(isNewline(c)) << static_cast<uint32_t>(c);
        EXPECT_FALSE(isWhitespace(c));
        EXPECT_TRUE(isWhitespaceOrNewline(c));
    }
    for (char32_t c : {U'\u200B', U'\u180E', U'a', U'\u2060'}) EXPECT_FALSE(isWhitespaceOrNewline(c));
    EXPECT_EQ(trimWhitespaceAndNewlines("\u3000 \n x y \u00A0\r"), "x y");
    EXPECT_EQ(trimWhitespaceAndNewlines(" \t\n"), "");
    EXPECT_EQ(splitWords("  a\u2003b\n\nc "), (std::vector<std::string_view>{"a", "b", "c"}));
}

TEST(Graphemes, ClustersCombiningMarksEmojiAndCrLf) {
    EXPECT_EQ(graphemeCount(""), 0u);
    EXPECT_EQ(graphemeCount("a\r\nb"), 3u);
    EXPECT_EQ(graphemeCount("e\u0301x"), 2u);
    EXPECT_EQ(graphemeCount("👍🏽!"), 2u);
    EXPECT_EQ(graphemeCount("👨‍👩‍👧"), 1u);
    EXPECT_EQ(graphemes("🇫🇷🇩🇪"), (std::vector<std::string_view>{"🇫🇷", "🇩🇪"}));
}

TEST(Utf, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_TRUE(isValidUtf8("héllo"));
    EXPECT_FALSE(isValidUtf8("h\xC3"));
    EXPECT_EQ(toUtf8(toUnicode("a\xFF" "b")), "a\uFFFDb");
    EXPECT_EQ(utf16Length("a😀"), 3u);
    // Every length over the 64-byte blocks and the tail read in overlapping words, a high byte anywhere.
    for (size_t length = 0; length <= 140; ++length) {
        std::string text(length, 'a');
        EXPECT_TRUE(isAscii(text)) << length;
        for (size_t at = 0; at < length; ++at) {
            text[at] = '\x80';
            EXPECT_FALSE(isAscii(text)) << length << " " << at;
            text[at] = 'a';
        }
    }
}

// Case, canonical equivalence of composed and decomposed letters and non-overlapping matches
// are compared with ICU's search on random text; these are the cases its alphabet leaves out.
TEST(LiteralSearch, CanonicalEquivalenceAndCaseFolding) {
    struct Case {
        std::string_view input, find, with;
        bool caseInsensitive;
        std::string_view expected;
    };
    const Case cases[] = {
        {"cafe\u0301", "cafe", "X", false, "cafe\u0301"},            // no split of é
        {"STRASSE stra\u00DFe", "strasse", "S", true, "S S"},         // full folding
        {"\u212A", "K", "k", false, "k"},                             // Kelvin sign is canonically K
        {"x", "", "y", false, "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replaceLiteral(c.input, c.find, c.with, c.caseInsensitive), c.expected) << c.input << " / " << c.find;
}

// The case-insensitive fast paths of findLiteral against the exact rule, over texts mixing ASCII in both cases
// with what breaks a byte comparison: marks, a conjoining vowel, characters folding or
// decomposing to ASCII, invalid bytes. Every character whose key is all ASCII is in the mix.
TEST(LiteralSearch, FastPathsAgreeWithCanonicalSearch) {
    std::vector<std::string> pieces = {"f", "o", "x", "F", "O", "X", "s", "S", "k", " ", "\n", "\r", "\u0301",
                                       "\u0307", "\u00E9", "\u1E8B", "\u1100", "\u1161", "\xE1", "\xFF"};
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfd = icu::Normalizer2::getNFDInstance(status);
    for (UChar32 c = 0x80; c <= 0x10FFFF; ++c) {
        auto key = nfd->normalize(nfd->normalize(icu::UnicodeString(c), status).foldCase(), status);
        if (isAscii(toUtf8(key))) pieces.push_back(toUtf8(icu::UnicodeString(c)));
    }
    std::mt19937 rng(7);
    const std::string_view needles[] = {"fox", "FOX", "x", "s", "Ss", "k", "o\r", "\nf", "xs", "fi", "ffl", "st;`"};
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        for (int n = rng() % 24; n > 0; --n) input += pieces[rng() % pieces.size()];
        for (auto needle : needles) {
            const auto fast = findLiteral(input, needle, true);
            const auto exact = detail::findCanonical(input, needle, true);
            ASSERT_EQ(fast.size(), exact.size()) << input << " / " << needle;
            for (size_t m = 0; m < fast.size(); ++m)
                ASSERT_TRUE(fast[m].begin == exact[m].begin && fast[m].end == exact[m].end) << input << " / " << needle;
        }
    }
}

TEST(Regex, TemplatesGroupsAndEscapes) {
    struct Case {
        std::string_view pattern, input, tmpl, expected;
    };
    const Case cases[] = {
        {"(\\d+)", "a1b22", "[$1]", "a[1]b[22]"},
        {"(a)(b)", "ab", "$2$1$0", "baab"},
        {"(a)", "a", "$12", "a2"},       // one group: one digit is read
        {"(a)", "a", "$5", ""},          // no such group
        {"(a)|(b)", "b", "[$1]", "[]"},  // group that did not take part
        {"a", "a", "\\$1", "$1"},        // backslash takes the next character
        {"a", "a", "$x", "$x"},          // a lone dollar stands for itself
        {"^x", "x\nx", "y", "y\ny"},     // anchors match lines
    };
    for (const auto& c : cases) {
        auto re = Regex::compile(c.pattern, {});
        ASSERT_TRUE(re) << c.pattern;
        auto r = re->replaceAll(toUnicode(c.input), toUnicode(c.tmpl));
        EXPECT_EQ(r.status, RegexStatus::ok);
        EXPECT_EQ(toUtf8(r.text), c.expected) << c.pattern << " " << c.tmpl;
    }
    EXPECT_FALSE(Regex::compile("(", {}));
}

// Replacement over UTF-8 against the engine's over UTF-16 (the scan that answers digit-run
// patterns, and the general path): over every code point, and over random mixes of digits of
// several scripts (one outside the first plane), marks, other numbers and letters, with either
// case flag and a template naming groups out of order and one that does not exist.
TEST(Regex, Utf8ReplacementAgreesWithTheEngine) {
    std::vector<std::string> texts(1);
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        appendCodePoint(texts[0], c);
        if (c % 7 == 0) texts[0] += 'x';
    }
    const std::string_view pieces[] = {"1",      "90",     "a",      " ",      "\u0663", "\U0001D7CE",
                                       "\u0301", "\uFF10", "\u00B2", "\u2160", "\n"};
    std::mt19937 rng(11);
    for (int n = 0; n < 300; ++n) {
        std::string text;
        for (int k = rng() % 12; k > 0; --k)
            text += pieces[rng() % std::size(pieces)];
        texts.push_back(text);
    }
    for (std::string_view pattern : {"\\d+", "(\\d+)", "[0-9]+", "([0-9]+)", "(\\p{L})(\\d+)"})
        for (bool caseInsensitive : {true, false}) {
            auto re = Regex::compile(pattern, {.caseInsensitive = caseInsensitive});
            ASSERT_TRUE(re);
            for (const auto& text : texts) {
                const auto fast = re->replaceAll(std::string_view(text), std::string_view("<$1|$0$2>"));
                const auto exact = re->replaceAll(toUnicode(text), toUnicode("<$1|$0$2>"));
                ASSERT_EQ(fast.status, RegexStatus::ok);
                ASSERT_EQ(fast.text, toUtf8(exact.text)) << pattern << " " << text.substr(0, 40);
            }
        }
}

TEST(Regex, CatastrophicPatternEndsWithTimeOut) {
    auto re = Regex::compile("(a+)+$", {});
    ASSERT_TRUE(re);
    const auto input = toUnicode(std::string(30000, 'a') + "b");
    const auto start = std::chrono::steady_clock::now();
    auto r = re->replaceAll(input, toUnicode("x"));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.status, RegexStatus::timedOut);
    // Generous bound: sanitizer builds run several times slower than release.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 10);
}
