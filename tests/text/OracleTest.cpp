// The text primitives against slow, obviously right references, on generated text: random
// strings over small alphabets full of the characters where fast paths go wrong.
#include "text/CanonicalKeys.h"
#include "text/CanonicalMatcher.h"
#include "text/FastUtf8Check.h"
#include "text/LineFeedEscape.h"
#include "text/LiteralSearch.h"
#include "text/StandardOrder.h"

#include <unicode/brkiter.h>
#include <unicode/coll.h>
#include <unicode/normalizer2.h>
#include <unicode/stsearch.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>

using namespace lexorra::text;

namespace {

std::string randomText(std::mt19937& random, const std::vector<std::string>& alphabet, size_t maxPieces) {
    std::string s;
    for (size_t n = random() % (maxPieces + 1); n > 0; --n)
        s += alphabet[random() % alphabet.size()];
    return s;
}

icu::UnicodeString nfd(const std::string& s) {
    UErrorCode status = U_ZERO_ERROR;
    return icu::Normalizer2::getNFDInstance(status)->normalize(icu::UnicodeString::fromUTF8(s), status);
}

// The text with everything outside printable ASCII as \\u escapes, for failure messages.
std::string shown(const std::string& s) {
    std::string out = "\"";
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(s);
    for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1)) {
        const UChar32 c = u.char32At(i);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, c >= 0x20 && c < 0x7F ? "%c" : "\\u%04X", c);
        out += buffer;
    }
    return out + "\"";
}

std::string utf8(const icu::UnicodeString& u) {
    std::string s;
    return u.toUTF8String(s);
}

// Grapheme boundaries of a text, as UTF-16 offsets.
std::vector<bool> boundaries(const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    it->setText(text);
    std::vector<bool> at(static_cast<size_t>(text.length()) + 1, false);
    for (int32_t p = it->first(); p != icu::BreakIterator::DONE; p = it->next())
        at[static_cast<size_t>(p)] = true;
    return at;
}

// Strict UTF-8 by the definition: shortest form, no surrogates, nothing above U+10FFFF.
bool plainUtf8Check(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > s.size()) return false;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next >> 6) != 2) return false;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// Lines and words, what the matcher is given, hold no line breaks.
const std::vector<std::string> accented = {"a",      "b",       "e",      "A",      "E",      " ",      "\u00e9",
                                           "\u00c9", "e\u0301", "\u0301", "\u0323", "\u1EB9", "\u212A", "K"};

} // namespace

// ICU's collation search at secondary (case-blind) or tertiary strength with canonical
// matching finds the same non-overlapping occurrences as the literal search.
TEST(LiteralSearch, AgreesWithIcuStringSearch) {
    std::mt19937 random(11);
    const std::vector<std::string> alphabet = {"a", "b", "A", "B", " ", "\u00e9", "\u00c9", "e\u0301", "E\u0301"};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    ASSERT_TRUE(U_SUCCESS(status));
    for (int round = 0; round < 3000; ++round) {
        const bool caseInsensitive = round % 2;
        const std::string text = randomText(random, alphabet, 12);
        std::string find = randomText(random, alphabet, 3);
        if (find.empty()) find = "a";
        collator->setStrength(caseInsensitive ? icu::Collator::SECONDARY : icu::Collator::TERTIARY);
        const icu::UnicodeString utext = icu::UnicodeString::fromUTF8(text);
        if (utext.isEmpty()) continue;
        icu::StringSearch search(icu::UnicodeString::fromUTF8(find), utext,
                                 static_cast<icu::RuleBasedCollator*>(collator.get()), nullptr, status);
        search.setAttribute(USEARCH_CANONICAL_MATCH, USEARCH_ON, status);
        ASSERT_TRUE(U_SUCCESS(status));
        icu::UnicodeString expected;
        int32_t last = 0;
        for (int32_t at = search.first(status); at != USEARCH_DONE; at = search.next(status)) {
            expected.append(utext, last, at - last).append(u"#");
            last = at + search.getMatchedLength();
        }
        expected.append(utext, last, utext.length() - last);
        EXPECT_EQ(replaceLiteral(text, find, "#", caseInsensitive), utf8(expected))
            << shown(find) << " in " << shown(text) << (caseInsensitive ? " ignoring case" : "");
    }
}

TEST(FastUtf8Check, AgreesWithAPlainCheckerOnRandomBytes) {
    std::mt19937 random(5);
    // Valid pieces of every length, edges of the ranges, and bytes that are never valid alone.
    const std::vector<std::string> pieces = {"a",
                                             "\x7F",
                                             "\xC2\x80",
                                             "\xDF\xBF",
                                             "\xE0\xA0\x80",
                                             "\xED\x9F\xBF",
                                             "\xEF\xBF\xBF",
                                             "\xF0\x90\x80\x80",
                                             "\xF4\x8F\xBF\xBF",
                                             "\xC0\xAF",
                                             "\xE0\x9F\xBF",
                                             "\xED\xA0\x80",
                                             "\xF4\x90\x80\x80",
                                             "\xF5",
                                             "\x80",
                                             "\xC3",
                                             "\xE2\x82",
                                             "\xF0\x9F\x98"};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = randomText(random, pieces, round % 100 == 0 ? 200 : 40);
        if (round % 3 == 0 && !bytes.empty()) bytes[random() % bytes.size()] = static_cast<char>(random());
        EXPECT_EQ(isValidUtf8Fast(bytes), plainUtf8Check(bytes)) << ::testing::PrintToString(bytes);
    }
}

// Containment and prefix, defined on the canonical decompositions: the needle's
// decomposition at a grapheme boundary of the text's, ending on one.
TEST(CanonicalMatcher, AgreesWithANaiveSearchOnDecomposedText) {
    std::mt19937 random(3);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = randomText(random, accented, 8);
        const std::string needle = randomText(random, accented, 3);
        const icu::UnicodeString t = nfd(text), n = nfd(needle);
        const auto edge = boundaries(t);
        const auto matchesAt = [&](int32_t p) {
            return p + n.length() <= t.length() && edge[static_cast<size_t>(p)] &&
                   edge[static_cast<size_t>(p + n.length())] && t.compare(p, n.length(), n) == 0;
        };
        bool contained = false;
        for (int32_t p = 0; !n.isEmpty() && p <= t.length() && !contained; ++p)
            contained = matchesAt(p);
        CanonicalMatcher matcher(needle);
        EXPECT_EQ(matcher.isContainedIn(text), contained) << shown(needle) << " in " << shown(text);
        EXPECT_EQ(matcher.isPrefixOf(text), matchesAt(0)) << shown(needle) << " before " << shown(text);
        // The matcher keeps state between calls: asking again must not change the answer.
        EXPECT_EQ(matcher.isContainedIn(text), contained) << shown(needle) << " in " << shown(text) << " again";
    }
}

TEST(CanonicalKeys, EquivalentTextsShareAKeyAndNfcTextIsItsOwn) {
    CanonicalKeys keys;
    const std::string ascii = "plain", composed = "caf\u00e9", decomposed = "cafe\u0301";
    EXPECT_EQ(keys.key(ascii).data(), ascii.data());
    EXPECT_EQ(keys.key(composed).data(), composed.data());
    const std::string_view key = keys.key(decomposed);
    EXPECT_EQ(key, composed);
    EXPECT_EQ(keys.key("a\u0301\u0327"), keys.key("a\u0327\u0301"));
    EXPECT_EQ(keys.key("\u212A"), "K");
    for (int i = 0; i < 1000; ++i)
        keys.key("e\u0301" + std::to_string(i));
    EXPECT_EQ(key, composed) << "earlier keys stay valid";
}

TEST(StandardOrder, Table) {
    const struct {
        std::vector<std::string_view> texts;
        std::vector<std::uint32_t> order;
    } cases[] = {
        {{"a10", "a2", "B", "a1"}, {3, 1, 0, 2}},
        {{"b", "A", "a", "c"}, {2, 1, 0, 3}},
        {{"x9", "x10", "x09"}, {0, 2, 1}},
        {{"e\u0301", "\u00e9", "d"}, {2, 0, 1}},
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(standardOrder(c.texts), c.order) << ::testing::PrintToString(c.texts);
}

TEST(LineFeedEscape, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"x\\ny", "x\ny"}, {"\\\\nb", "\\\nb"}, {"\\t\\", "\\t\\"}, {"\\n\\n", "\n\n"}, {"", ""}, {"n\\", "n\\"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(expandBackslashN(in), out) << in;
}
