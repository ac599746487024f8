#include "actions/lines/TextActionInsertText.h"
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "text/Cancellation.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using T = InsertTextType;

struct Case {
    const char* name;
    T type;
    std::string input;
    std::string insertion;
    std::string expected;
    std::int64_t position = 10;
    std::string anchor = "";
};

std::string inserted(const Case& c) {
    TextActionInsertText action;
    action.insertType = c.type;
    action.insetText = c.insertion;
    action.position = c.position;
    action.insetBeforeAfterText = c.anchor;
    return action.transform(c.input);
}

void check(std::initializer_list<Case> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(inserted(c), c.expected) << c.name;
}

} // namespace

TEST(TextActionInsertText, Table) {
    check({
        // First and last line
        {"first line", T::atFirstLine, "a\nb", "X", "X\na\nb"},
        {"first line of empty input", T::atFirstLine, "", "X", "X\n"},
        {"last line", T::atLastLine, "a\nb", "X", "a\nb\nX"},
        {"last line after trailing line feed", T::atLastLine, "a\n", "X", "a\n\nX"},
        {"backslash-n in the insertion", T::atFirstLine, "a", "1\\n2", "1\n2\na"},
        // At position
        {"position 1 starts every line, empty ones too", T::atPosition, "ab\n\ncd", "X", "Xab\nX\nXcd", 1},
        {"inside the line", T::atPosition, "abcd\nef", "X", "abXcd\nefX", 3},
        {"beyond the end appends", T::atPosition, "ab\nc", "X", "abX\ncX", 1000},
        {"empty input", T::atPosition, "", "X", "X", 5},
        {"trailing line feed", T::atPosition, "ab\n", "-", "a-b\n-", 2},
        {"combining mark counts with its base", T::atPosition, "e\u0301e\u0301", "X", "e\u0301Xe\u0301", 2},
        {"emoji sequence is one character", T::atPosition, "\U0001F468\u200D\U0001F469\u200D\U0001F467z", "X",
         "\U0001F468\u200D\U0001F469\u200D\U0001F467Xz", 2},
        {"flags are one character each", T::atPosition, "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", "|",
         "\U0001F1E9\U0001F1EA|\U0001F1EB\U0001F1F7", 2},
        {"CR before the line feed is a character of its line", T::atPosition, "ab\r\ncd", "X", "abX\r\ncdX", 3},
        {"CR is the last character before appending", T::atPosition, "ab\r\nc", "X", "ab\rX\ncX", 50},
        {"position 0 inserts at the start", T::atPosition, "ab", "X", "Xab", 0},
        {"negative position inserts at the start", T::atPosition, "ab", "X", "Xab", -7},
        {"ASCII and non-ASCII lines mixed", T::atPosition, "abc\n\u00e9\u00e9\u00e9", "|", "a|bc\n\u00e9|\u00e9\u00e9",
         2},
        // Around words
        {"before every word", T::beforeEveryWord, "one two", "#", "#one #two"},
        {"two spaces between words stay", T::beforeEveryWord, "a  b", "#", "#a  #b"},
        {"trailing space stays", T::beforeEveryWord, "a b ", "#", "#a #b "},
        {"leading white space stays", T::beforeEveryWord, " \ta", "#", " \t#a"},
        {"after every word", T::afterEveryWord, "one two", "!", "one! two!"},
        {"lines and empty lines", T::afterEveryWord, "a\n\nb c\n", "!", "a!\n\nb! c!\n"},
        {"carriage return separates the last word", T::afterEveryWord, "a b\r\nc", "!", "a! b!\r\nc!"},
        {"ideographic space separates words", T::beforeEveryWord, "\u65e5\u3000\u672c", "#", "#\u65e5\u3000#\u672c"},
        {"no-break space separates words", T::afterEveryWord, "a\u00a0b", "!", "a!\u00a0b!"},
        {"accented words stay whole", T::afterEveryWord, "cafe\u0301 ok", "!", "cafe\u0301! ok!"},
        {"white space only", T::beforeEveryWord, "   ", "#", "   "},
        {"insertion with a line break", T::beforeEveryWord, "a b", "\\n", "\na \nb"},
        // Around anchor text
        {"before text", T::beforeText, "a.b.c", "X", "aX.bX.c", 10, "."},
        {"after text", T::afterText, "a.b.c", "X", "a.Xb.Xc", 10, "."},
        {"anchor absent leaves input", T::beforeText, "abc", "X", "abc", 10, "z"},
        {"empty anchor leaves input", T::afterText, "abc", "X", "abc", 10, ""},
        {"case-sensitive", T::beforeText, "Ab ab", "X", "Ab Xab", 10, "ab"},
        {"non-overlapping from the start", T::afterText, "aaa", "-", "aa-a", 10, "aa"},
        {"canonically equivalent anchor matches", T::beforeText, "cafe\u0301!", "X", "cafX\u00e9!", 10, "\u00e9"},
        {"anchor is not backslash-escaped", T::afterText, "a\\nb", "X", "a\\nXb", 10, "\\n"},
        {"insertion is", T::afterText, "a-b", "\\n", "a-\nb", 10, "-"},
        // After every character
        {"every character", T::afterEveryCharacter, "ab", "-", "a-b-"},
        {"line feed is a character", T::afterEveryCharacter, "a\nb", "-", "a-\n-b-"},
        {"CR LF is one character", T::afterEveryCharacter, "a\r\nb", "-", "a-\r\n-b-"},
        {"empty input", T::afterEveryCharacter, "", "-", ""},
        {"combining mark stays with its base", T::afterEveryCharacter, "e\u0301x", "-", "e\u0301-x-"},
        {"emoji with skin tone is one character", T::afterEveryCharacter, "\U0001F44D\U0001F3FD!", "-",
         "\U0001F44D\U0001F3FD-!-"},
        {"mark after an ASCII letter in accented text", T::afterEveryCharacter, "\u00e9ae\u0301b", "-",
         "\u00e9-a-e\u0301-b-"},
        {"CR LF inside accented text", T::afterEveryCharacter, "\u00e9\r\nb", "-", "\u00e9-\r\n-b-"},
        {"joined emoji after ASCII", T::afterEveryCharacter, "a\U0001F469\u200D\U0001F4BB", "-",
         "a-\U0001F469\u200D\U0001F4BB-"},
    });
}

TEST(TextActionInsertText, AroundWordsMarksStaleLines) {
    TextActionInsertText action;
    action.insertType = T::beforeEveryWord;
    action.insetText = "#";
    CancellationScope stale([] { return true; });
    // Lines without words never consult the token.
    EXPECT_EQ(action.transform("a b\n  \nc"), "-9264837-\n  \n-9264837-");
}

TEST(TextActionInsertText, StoredPositionOutsideThePanelRangeIsKept) {
    auto action = actionFromDictionary(*json::parse(R"({"Type":16,"InsertType":2,"Position":0})"));
    ASSERT_TRUE(action);
    EXPECT_EQ(action->optionValue("Position"), Value(0));
}
