#include "actions/chars/TextActionSpecialTransformations.h"

#include "actions/chars/StyledAlphabets.h"
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "text/Utf.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using lexorra::SpecialTransformationsType;
using lexorra::TextActionSpecialTransformations;
using Type = SpecialTransformationsType;

namespace {

std::string run(Type type, std::string_view input) {
    TextActionSpecialTransformations action;
    action.transformationType = type;
    return action.transform(input);
}

std::string utf8(std::u32string_view s) {
    std::string out;
    for (char32_t c : s) lexorra::text::appendCodePoint(out, c);
    return out;
}

} // namespace

TEST(TextActionSpecialTransformations, Styles) {
    struct Case {
        const char* name;
        Type type;
        std::string input;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"circle", Type::circleLetters, "abc 123", utf8(U"\u24D0\u24D1\u24D2 \u2460\u2461\u2462")},
        {"circle zero and capitals", Type::circleLetters, "0Z", utf8(U"\u24EA\u24CF")},
        {"filled circle folds case", Type::circleLettersFilled, "aA0", utf8(U"\U0001F150\U0001F150\u24FF")},
        {"square keeps digits", Type::squareLetters, "z9", utf8(U"\U0001F149") + "9"},
        {"filled square", Type::squareLettersFilled, "Bb", utf8(U"\U0001F171\U0001F171")},
        {"bold", Type::bold, "aZ10", utf8(U"\U0001D5EE\U0001D5ED\U0001D7ED\U0001D7EC")},
        {"bold keeps punctuation and accents", Type::bold, "?!&,_. é", "?!&,_. é"},
        {"italic", Type::italic, "hH", utf8(U"\U0001D629\U0001D60F")},
        {"bold italic", Type::boldItalic, "aA", utf8(U"\U0001D656\U0001D63C")},
        {"upside down keeps order", Type::upsideDown, "ace!", utf8(U"\u0250\u0254\u01DD\u00A1")},
        {"upside down punctuation", Type::upsideDown, "?&,_.", utf8(U"\u00BF\u214B'\u203E\u02D9")},
        // Each pass rewrites what earlier passes wrote: b becomes q, and the later q pass turns it back.
        {"upside down passes chain", Type::upsideDown, "bq MW 69", "bb MM 66"},
        {"other characters pass", Type::circleLetters, "ü\n\t€", "ü\n\t€"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.type, c.input), c.expected) << c.name;
}

TEST(TextActionSpecialTransformations, UnstyleReversesEveryKnownAlphabet) {
    const std::string plain = "Hello World 1234567890?";
    for (auto style : {Type::circleLetters, Type::bold, Type::italic, Type::boldItalic})
        EXPECT_EQ(run(Type::unstyle, run(style, plain)), plain) << static_cast<int>(style);
    // Case-folding styles come back lower case; digits come back.
    EXPECT_EQ(run(Type::unstyle, run(Type::circleLettersFilled, "Hi 10")), "hi 10");
    EXPECT_EQ(run(Type::unstyle, run(Type::squareLetters, "Hi 10")), "hi 10");
    // Alphabets this action never writes: serif bold, serif italic (with its h), monospace, small capitals.
    EXPECT_EQ(run(Type::unstyle, utf8(U"\U0001D400\U0001D41B\U0001D7CF")), "Ab1");
    EXPECT_EQ(run(Type::unstyle, utf8(U"\u210E\U0001D44E")), "ha");
    EXPECT_EQ(run(Type::unstyle, utf8(U"\U0001D670\U0001D68A\U0001D7F7")), "Aa1");
    EXPECT_EQ(run(Type::unstyle, utf8(U"\u1D00\u0299\u01EB")), "abq");
    // Upside-down text is not turned back.
    EXPECT_EQ(run(Type::unstyle, utf8(U"\u0250\u0254")), utf8(U"\u0250\u0254"));
}

TEST(TextActionSpecialTransformations, AlphabetsHaveSixtyEightDistinctPositions) {
    const auto& alphabets = lexorra::styled::styledAlphabets();
    ASSERT_EQ(alphabets.size(), 12u);
    for (size_t a = 0; a < alphabets.size(); ++a) {
        for (size_t i = 62; i < 68; ++i) EXPECT_EQ(alphabets[a][i], lexorra::styled::plainAlphabet()[i]) << a;
        // Letters are distinct within each case in every alphabet.
        std::set<char32_t> lower(alphabets[a].begin() + 10, alphabets[a].begin() + 36);
        EXPECT_EQ(lower.size(), 26u) << a;
    }
    EXPECT_EQ(alphabets[8][10 + 7], U'\u210E');
    EXPECT_EQ(alphabets[10][9], U'0');
}
