#include "text/SentenceSplitter.h"

#include <gtest/gtest.h>

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
