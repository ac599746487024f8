#include "actions/lines/TextActionInsertText.h"
#include "core/Json.h"
#include "support/ActionCases.h"
#include "text/Cancellation.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

using T = InsertTextType;

Options insert(T type, std::string text, std::int64_t position = 10, std::string anchor = "") {
    return {{"InsertType", static_cast<std::int64_t>(type)},
            {"InsetText", std::move(text)},
            {"Position", position},
            {"InsetBeforeAfterText", std::move(anchor)}};
}

} // namespace

TEST(TextActionInsertText, Table) {
    expectCases(
        TextActionType::incertText,
        {
            // First and last line
            {"first line", "a\nb", insert(T::atFirstLine, "X"), "X\na\nb"},
            {"first line of empty input", "", insert(T::atFirstLine, "X"), "X\n"},
            {"last line", "a\nb", insert(T::atLastLine, "X"), "a\nb\nX"},
            {"last line after trailing line feed", "a\n", insert(T::atLastLine, "X"), "a\n\nX"},
            {"backslash-n in the insertion", "a", insert(T::atFirstLine, "1\\n2"), "1\n2\na"},
            // At position
            {"position 1 starts every line, empty ones too", "ab\n\ncd", insert(T::atPosition, "X", 1), "Xab\nX\nXcd"},
            {"inside the line", "abcd\nef", insert(T::atPosition, "X", 3), "abXcd\nefX"},
            {"beyond the end appends", "ab\nc", insert(T::atPosition, "X", 1000), "abX\ncX"},
            {"empty input", "", insert(T::atPosition, "X", 5), "X"},
            {"trailing line feed", "ab\n", insert(T::atPosition, "-", 2), "a-b\n-"},
            {"combining mark counts with its base", "e\u0301e\u0301", insert(T::atPosition, "X", 2), "e\u0301Xe\u0301"},
            {"emoji sequence is one character", "\U0001F468\u200D\U0001F469\u200D\U0001F467z",
             insert(T::atPosition, "X", 2), "\U0001F468\u200D\U0001F469\u200D\U0001F467Xz"},
            {"flags are one character each", "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", insert(T::atPosition, "|", 2),
             "\U0001F1E9\U0001F1EA|\U0001F1EB\U0001F1F7"},
            {"CR before the line feed is a character of its line", "ab\r\ncd", insert(T::atPosition, "X", 3),
             "abX\r\ncdX"},
            {"CR is the last character before appending", "ab\r\nc", insert(T::atPosition, "X", 50), "ab\rX\ncX"},
            {"position 0 inserts at the start", "ab", insert(T::atPosition, "X", 0), "Xab"},
            {"negative position inserts at the start", "ab", insert(T::atPosition, "X", -7), "Xab"},
            {"ASCII and non-ASCII lines mixed", "abc\n\u00e9\u00e9\u00e9", insert(T::atPosition, "|", 2),
             "a|bc\n\u00e9|\u00e9\u00e9"},
            // Around words
            {"before every word", "one two", insert(T::beforeEveryWord, "#"), "#one #two"},
            {"two spaces between words stay", "a  b", insert(T::beforeEveryWord, "#"), "#a  #b"},
            {"trailing space stays", "a b ", insert(T::beforeEveryWord, "#"), "#a #b "},
            {"leading white space stays", " \ta", insert(T::beforeEveryWord, "#"), " \t#a"},
            {"after every word", "one two", insert(T::afterEveryWord, "!"), "one! two!"},
            {"lines and empty lines", "a\n\nb c\n", insert(T::afterEveryWord, "!"), "a!\n\nb! c!\n"},
            {"carriage return separates the last word", "a b\r\nc", insert(T::afterEveryWord, "!"), "a! b!\r\nc!"},
            {"ideographic space separates words", "\u65e5\u3000\u672c", insert(T::beforeEveryWord, "#"),
             "#\u65e5\u3000#\u672c"},
            {"no-break space separates words", "a\u00a0b", insert(T::afterEveryWord, "!"), "a!\u00a0b!"},
            {"accented words stay whole", "cafe\u0301 ok", insert(T::afterEveryWord, "!"), "cafe\u0301! ok!"},
            {"white space only", "   ", insert(T::beforeEveryWord, "#"), "   "},
            {"insertion with a line break", "a b", insert(T::beforeEveryWord, "\\n"), "\na \nb"},
            // Around anchor text
            {"before text", "a.b.c", insert(T::beforeText, "X", 10, "."), "aX.bX.c"},
            {"after text", "a.b.c", insert(T::afterText, "X", 10, "."), "a.Xb.Xc"},
            {"anchor absent leaves input", "abc", insert(T::beforeText, "X", 10, "z"), "abc"},
            {"empty anchor leaves input", "abc", insert(T::afterText, "X", 10, ""), "abc"},
            {"case-sensitive", "Ab ab", insert(T::beforeText, "X", 10, "ab"), "Ab Xab"},
            {"non-overlapping from the start", "aaa", insert(T::afterText, "-", 10, "aa"), "aa-a"},
            {"canonically equivalent anchor matches", "cafe\u0301!", insert(T::beforeText, "X", 10, "\u00e9"),
             "cafX\u00e9!"},
            {"anchor is not backslash-escaped", "a\\nb", insert(T::afterText, "X", 10, "\\n"), "a\\nXb"},
            {"insertion is", "a-b", insert(T::afterText, "\\n", 10, "-"), "a-\nb"},
            // After every character
            {"every character", "ab", insert(T::afterEveryCharacter, "-"), "a-b-"},
            {"line feed is a character", "a\nb", insert(T::afterEveryCharacter, "-"), "a-\n-b-"},
            {"CR LF is one character", "a\r\nb", insert(T::afterEveryCharacter, "-"), "a-\r\n-b-"},
            {"empty input", "", insert(T::afterEveryCharacter, "-"), ""},
            {"combining mark stays with its base", "e\u0301x", insert(T::afterEveryCharacter, "-"), "e\u0301-x-"},
            {"emoji with skin tone is one character", "\U0001F44D\U0001F3FD!", insert(T::afterEveryCharacter, "-"),
             "\U0001F44D\U0001F3FD-!-"},
            {"mark after an ASCII letter in accented text", "\u00e9ae\u0301b", insert(T::afterEveryCharacter, "-"),
             "\u00e9-a-e\u0301-b-"},
            {"CR LF inside accented text", "\u00e9\r\nb", insert(T::afterEveryCharacter, "-"), "\u00e9-\r\n-b-"},
            {"joined emoji after ASCII", "a\U0001F469\u200D\U0001F4BB", insert(T::afterEveryCharacter, "-"),
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
