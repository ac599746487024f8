#include "text/LexicalTagger.h"

#include "support/AsciiCorpus.h"

#include <gtest/gtest.h>
#include <unicode/brkiter.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using lexorra::text::LexicalClass;
using lexorra::text::LexicalTagger;
using lexorra::text::lexicalClassName;

namespace {

std::string joined(const std::vector<lexorra::text::TaggedToken>& tokens) {
    std::string out;
    for (const auto& t : tokens) out += std::string(t.text) + "/" + std::string(lexicalClassName(t.lexicalClass)) + " ";
    return out;
}

LexicalClass classOfLetter(char c) {
    static const std::map<char, LexicalClass> letters = {
        {'N', LexicalClass::noun},        {'V', LexicalClass::verb},         {'J', LexicalClass::adjective},
        {'R', LexicalClass::adverb},      {'P', LexicalClass::pronoun},      {'D', LexicalClass::determiner},
        {'T', LexicalClass::particle},    {'I', LexicalClass::preposition},  {'C', LexicalClass::conjunction},
        {'M', LexicalClass::number},      {'U', LexicalClass::interjection},
    };
    return letters.at(c);
}

} // namespace

TEST(LexicalTagger, ReportsEveryTokenSoTheLineCanBeRebuilt) {
    const std::string line = "Hello,  (big) \"world\" -- it's 3.5 o'clock!";
    std::string rebuilt;
    for (const auto& t : LexicalTagger::shared().tag(line)) {
        EXPECT_NE(t.lexicalClass, LexicalClass::none) << t.text;
        rebuilt += t.text;
    }
    EXPECT_EQ(rebuilt, line);
}

TEST(LexicalTagger, ClassesPunctuationAndWhiteSpaceByTheirCharacters) {
    struct Case {
        std::string text;
        size_t index;
        LexicalClass expected;
    };
    const std::vector<Case> cases = {
        {"a  b", 1, LexicalClass::whitespace},        {"a\u00A0b", 1, LexicalClass::otherWhitespace},
        {"a.", 1, LexicalClass::sentenceTerminator},  {"a?", 1, LexicalClass::sentenceTerminator},
        {"a, b", 1, LexicalClass::otherPunctuation},  {"a - b", 2, LexicalClass::dash},
        {"a \u2014 b", 2, LexicalClass::dash},        {"(a)", 0, LexicalClass::openParenthesis},
        {"(a)", 2, LexicalClass::closeParenthesis},   {"\"a\"", 0, LexicalClass::openQuote},
        {"\"a\"", 2, LexicalClass::closeQuote},       {"\u201Ca\u201D", 0, LexicalClass::openQuote},
        {"\u201Ca\u201D", 2, LexicalClass::closeQuote}, {"a \"b", 2, LexicalClass::openQuote},
        {"a\r", 1, LexicalClass::paragraphBreak},     {"a + b", 2, LexicalClass::other},
    };
    for (const auto& c : cases) {
        const auto tokens = LexicalTagger::shared().tag(c.text);
        ASSERT_GT(tokens.size(), c.index) << c.text;
        EXPECT_EQ(lexicalClassName(tokens[c.index].lexicalClass), lexicalClassName(c.expected))
            << c.text << " -> " << joined(tokens);
    }
}

TEST(LexicalTagger, UsesContextForAmbiguousWords) {
    ASSERT_TRUE(LexicalTagger::shared().hasModel()) << "tagging data not installed";
    struct Case {
        std::string text;
        size_t index; // token index, white space counted
        LexicalClass expected;
    };
    const std::vector<Case> cases = {
        {"the fox jumps", 4, LexicalClass::verb},       {"three long jumps", 4, LexicalClass::noun},
        {"I can swim", 2, LexicalClass::verb},          {"the dog runs", 4, LexicalClass::verb},
        {"Will You Come", 0, LexicalClass::verb},       {"They Don't Know", 2, LexicalClass::verb},
        {"it's late", 0, LexicalClass::pronoun},        {"We Run Fast", 2, LexicalClass::verb},
        {"the 42 boxes", 2, LexicalClass::number},      {"the flibbertigibbet sang", 2, LexicalClass::noun},
    };
    for (const auto& c : cases) {
        const auto tokens = LexicalTagger::shared().tag(c.text);
        ASSERT_GT(tokens.size(), c.index) << c.text;
        EXPECT_EQ(lexicalClassName(tokens[c.index].lexicalClass), lexicalClassName(c.expected))
            << c.text << " -> " << joined(tokens);
    }
}

TEST(LexicalTagger, WithoutDataKnowsFunctionWordsAndCallsTheRestNouns) {
    const auto tagger = LexicalTagger::load("/nonexistent/folder");
    EXPECT_FALSE(tagger->hasModel());
    const auto tokens = tagger->tag("The Cat And the Hat of Doom quickly");
    std::vector<LexicalClass> words;
    for (const auto& t : tokens)
        if (t.lexicalClass != LexicalClass::whitespace) words.push_back(t.lexicalClass);
    const std::vector<LexicalClass> expected = {LexicalClass::determiner, LexicalClass::noun,
                                                LexicalClass::conjunction, LexicalClass::determiner,
                                                LexicalClass::noun, LexicalClass::preposition,
                                                LexicalClass::noun, LexicalClass::adverb};
    EXPECT_EQ(words, expected) << joined(tokens);
}

// Accuracy over a hand-tagged sample of everyday sentences, words only. Also tagged in
// capitalised form, which is how titles reach the tagger.
TEST(LexicalTagger, AccuracyOnHandTaggedSample) {
    ASSERT_TRUE(LexicalTagger::shared().hasModel()) << "tagging data not installed";
    std::ifstream in(std::string(LEXORRA_TEST_DATA) + "/text/lexical-sample.txt");
    ASSERT_TRUE(in);
    size_t total = 0, right = 0, rightCapitalised = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream items(line);
        std::string item, sentence, capitalised;
        std::vector<LexicalClass> expected;
        while (items >> item) {
            const auto slash = item.rfind('/');
            const std::string word = item.substr(0, slash);
            expected.push_back(classOfLetter(item[slash + 1]));
            sentence += (sentence.empty() ? "" : " ") + word;
            std::string cap = word;
            cap[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cap[0])));
            capitalised += (capitalised.empty() ? "" : " ") + cap;
        }
        auto score = [&](const std::string& text, size_t& counter) {
            size_t w = 0;
            for (const auto& t : LexicalTagger::shared().tag(text)) {
                if (t.lexicalClass == LexicalClass::whitespace) continue;
                ASSERT_LT(w, expected.size()) << text;
                if (t.lexicalClass == expected[w]) ++counter;
                else std::cout << "  miss: " << t.text << " " << lexicalClassName(t.lexicalClass) << " in \"" << text << "\"\n";
                ++w;
            }
            EXPECT_EQ(w, expected.size()) << text;
        };
        score(sentence, right);
        score(capitalised, rightCapitalised);
        total += expected.size();
    }
    const double accuracy = 100.0 * static_cast<double>(right) / static_cast<double>(total);
    const double capitalisedAccuracy = 100.0 * static_cast<double>(rightCapitalised) / static_cast<double>(total);
    std::cout << "lexical tagger: " << right << "/" << total << " words right (" << accuracy << "%), capitalised "
              << rightCapitalised << "/" << total << " (" << capitalisedAccuracy << "%)\n";
    ASSERT_GT(total, 300u);
    EXPECT_GE(accuracy, 90.0);
    EXPECT_GE(capitalisedAccuracy, 85.0);
}

// The ASCII word cutter against ICU's word break iterator: every pair of ASCII characters, every
// text of up to four characters from one of each word-break class, then longer random ones.
TEST(LexicalTagger, AsciiWordTokensAgreeWithTheBreakIterator) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    ASSERT_TRUE(U_SUCCESS(status));
    auto icuTokens = [&](const std::string& text) {
        std::vector<std::pair<std::string_view, bool>> tokens;
        const auto utf16 = icu::UnicodeString::fromUTF8(text); // the iterator keeps a reference
        words->setText(utf16);
        for (int32_t start = words->first(), end = words->next(); end != icu::BreakIterator::DONE;
             start = end, end = words->next())
            tokens.emplace_back(std::string_view(text).substr(start, end - start), words->getRuleStatus() >= 100);
        return tokens;
    };
    const auto texts = lexorra::testing::asciiCorpus("aZ@5_.',;: \t\r\n\v-\"", 40, 2);
    for (const auto& text : texts) ASSERT_EQ(lexorra::text::detail::asciiWordTokens(text), icuTokens(text)) << text;
}
