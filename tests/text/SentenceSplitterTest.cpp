#include "text/SentenceSplitter.h"

#include "support/AsciiCorpus.h"

#include <gtest/gtest.h>
#include <unicode/brkiter.h>

#include <memory>
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
    const auto texts = lexorra::testing::asciiCorpus("aZ5.!?\"() \t\r\n,-:;#", 60, 4);
    for (const auto& text : texts) ASSERT_EQ(sentences(text), icuSentences(text)) << text;
}
