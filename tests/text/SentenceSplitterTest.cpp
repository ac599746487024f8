#include "text/SentenceSplitter.h"

#include <gtest/gtest.h>
#include <unicode/brkiter.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using lexorra::text::sentences;

TEST(SentenceSplitter, DropsTrailingWhiteSpace) {
    struct Case {
        std::string input;
        std::vector<std::string_view> expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"   ", {}},
        {"One.  Two? Three", {"One.", "Two?", "Three"}},
        {"Hi!\u00A0\u2003Bye.", {"Hi!", "Bye."}},
        {"Mr. Smith went home.", {"Mr.", "Smith went home."}},
        {"a. b", {"a. b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(sentences(c.input), c.expected) << c.input;
}

// ASCII text is cut without the break iterator: hold it to ICU over every pair of ASCII
// characters, every text of up to four characters from one of each sentence-break class, then
// longer random ones.
TEST(SentenceSplitter, AsciiAgreesWithTheBreakIterator) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> iterator(
        icu::BreakIterator::createSentenceInstance(icu::Locale::getRoot(), status));
    ASSERT_TRUE(U_SUCCESS(status));
    auto icuSentences = [&](const std::string& text) {
        std::vector<std::string_view> pieces;
        const auto utf16 = icu::UnicodeString::fromUTF8(text); // the iterator keeps a reference
        iterator->setText(utf16);
        for (int32_t start = iterator->first(), end = iterator->next(); end != icu::BreakIterator::DONE;
             start = end, end = iterator->next()) {
            const auto piece = std::string_view(text).substr(start, end - start);
            const size_t last = piece.find_last_not_of(" \t\n\v\f\r");
            if (last != std::string_view::npos) pieces.push_back(piece.substr(0, last + 1));
        }
        return pieces;
    };
    std::vector<std::string> texts;
    for (int a = 0; a < 128; ++a)
        for (int b = 0; b < 128; ++b) texts.push_back({static_cast<char>(a), static_cast<char>(b)});
    const std::string classes = "aZ5.!?\"() \t\r\n,-:;#";
    texts.push_back("");
    for (size_t from = texts.size() - 1, length = 1; length <= 4; ++length) {
        const size_t to = texts.size();
        for (size_t t = from; t < to; ++t)
            for (char c : classes) texts.push_back(texts[t] + c);
        from = to;
    }
    std::mt19937 rng(5);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        for (int k = rng() % 60; k > 0; --k)
            text += static_cast<char>(rng() % 4 ? classes[rng() % classes.size()] : rng() % 128);
        texts.push_back(text);
    }
    for (const auto& text : texts) ASSERT_EQ(sentences(text), icuSentences(text)) << text;
}
