#include "actions/lines/TextActionRemoveCharacters.h"

#include "support/ActionCases.h"
#include "text/Regex.h"
#include "text/Utf.h"

using namespace lexorra;
using namespace lexorra::testing;

namespace {

Options rule(std::int64_t type) {
    return {{"RemoveCharactersType", Value(type)}};
}
Options chars(std::string set) {
    return {{"RemoveCharactersType", Value(0)}, {"CharactersForDelete", Value(std::move(set))}};
}
Options at(std::int64_t type, std::int64_t position) {
    return {{"RemoveCharactersType", Value(type)}, {"Position", Value(position)}};
}
Options text(std::int64_t type, std::string marker) {
    return {{"RemoveCharactersType", Value(type)}, {"AfterBeforeText", Value(std::move(marker))}};
}

const std::string eAcute = "\xC3\xA9";      // é precomposed
const std::string eCombining = "e\xCC\x81"; // e + U+0301
const std::string zwj = "\xE2\x80\x8D";
const std::string vs16 = "\xEF\xB8\x8F";
const std::string man = "\xF0\x9F\x91\xA8";
const std::string woman = "\xF0\x9F\x91\xA9";
const std::string grin = "\xF0\x9F\x98\x80";
const std::string thumbsToned = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";
const std::string heart = "\xE2\x9D\xA4";
const std::string flagFr = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
const std::string nbsp = "\xC2\xA0";
const std::string arabicThree = "\xD9\xA3";

TEST(RemoveCharacters, Table) {
    expectCases(
        TextActionType::removeCharacters,
        {
            // Selected
            {"vowels", "banana\nkiwi", chars("aeiou"), "bnn\nkw"},
            {"orderAndRepeatsIrrelevant", "banana", chars("nnab"), ""},
            {"emptySetRemovesNothing", "banana", chars(""), "banana"},
            {"caseCounts", "Banana", chars("b"), "Banana"},
            {"lineFeedInSet", "a\nb", chars("\n"), "ab"},
            {"precomposedOnly", "caf" + eAcute + " caf" + eCombining, chars(eAcute), "caf caf" + eCombining},
            {"combiningMarkLeavesBase", "caf" + eCombining, chars("\xCC\x81"), "cafe"},
            {"emojiCodePoint", "a" + grin + "b", chars(grin), "ab"},
            {"asciiSetBesideOtherAndBrokenSequences", "a\xC3" "a" + eAcute + "e\xFF" "o" + eCombining, chars("ae"),
             "\xC3" + eAcute + "\xFF" "o\xCC\x81"},
            // Classes
            {"nonAlphanumericKeepsSpacesAndLines", "Hello, world.\nOk!\t(yes)", rule(1), "Hello world\nOk\tyes"},
            {"nonAlphanumericKeepsLettersMarksDigits", "caf" + eCombining + " " + arabicThree + "_" + nbsp, rule(1),
             "caf" + eCombining + " " + arabicThree + nbsp},
            {"nonAlphanumericDropsEmojiAndJoiners", "a" + man + zwj + woman + "b", rule(1), "ab"},
            {"numericAsciiDigitsOnly", "a1b2c3" + arabicThree, rule(2), "abc" + arabicThree},
            {"nonNumericPerLine", "a1\nb2", rule(3), "1\n2"},
            {"nonNumericKeepsEmptyLines", "x\n\n7y" + arabicThree + "\n", rule(3), "\n\n7\n"},
            {"tabs", "a\tb c\t", rule(4), "ab c"},
            {"spacesOnlyU0020", "a b\t" + nbsp + "c ", rule(5), "ab\t" + nbsp + "c"},
            {"nonAsciiDropsAccentedLetters", "na" + eAcute + "ve " + grin, rule(12), "nave "},
            {"nonAsciiLeavesBaseOfDecomposed", "caf" + eCombining, rule(12), "cafe"},
            // Emojis
            // Which code points go is the pattern test's below; here, sequences.
            {"skinToneModifierGoesToo", thumbsToned + "!", rule(6), "!"},
            {"joinersStay", man + zwj + woman, rule(6), zwj},
            {"variationSelectorStays", heart + vs16 + "x", rule(6), vs16 + "x"},
            {"flags", flagFr + " ok", rule(6), " ok"},
            {"keycapKeepsDigit", "1" + vs16 + "\xE2\x83\xA3", rule(6), "1" + vs16 + "\xE2\x83\xA3"},
            {"plainTextUntouched", "caf" + eCombining + " 42", rule(6), "caf" + eCombining + " 42"},
            // Positions
            {"afterPosition", "abcdef\nab", at(7, 3), "abc\nab"},
            {"beforePosition", "abcdef\nab\n", at(8, 3), "def\n\n"},
            {"lastCharacters", "abcdef\na", at(11, 2), "abcd\n"},
            {"afterPositionCountsClusters", eCombining + eCombining + "xy", at(7, 2), eCombining + eCombining},
            {"beforePositionCountsClusters", thumbsToned + "ab", at(8, 1), "ab"},
            {"lastCharactersCountsClusters", "ab" + thumbsToned, at(11, 1), "ab"},
            {"crLfIsOneCharacterAtLineEnd", "abc\r", at(11, 1), "abc"},
            {"afterPositionZeroEmptiesLines", "ab\ncd", at(7, 0), "\n"},
            {"negativeCountsAsZero", "ab\ncd", at(7, -3), "\n"},
            {"negativeLastCharactersRemovesNothing", "ab", at(11, -1), "ab"},
            {"defaultPositionIsTen", "abcdefghijkl", rule(7), "abcdefghij"},
            {"hugePosition", "abc", at(8, 44444412), ""},
            // Around text
            {"afterText", "key:value\nnone", text(9, ":"), "key:\nnone"},
            {"beforeText", "key:value\nnone", text(10, ":"), ":value\nnone"},
            {"afterFirstOccurrence", "a:b:c", text(9, ":"), "a:"},
            {"beforeFirstOccurrence", "a:b:c", text(10, ":"), ":b:c"},
            {"eachLineOnItsOwn", "a=1\nb=2=3\nc", text(9, "="), "a=\nb=\nc"},
            {"caseCounts", "Stop stop", text(10, "stop"), "stop"},
            {"emptyTextLeavesLines", "a:b", text(9, ""), "a:b"},
            {"textWithLineFeedNeverMatches", "a\nb", text(9, "a\nb"), "a\nb"},
            {"canonicallyEquivalent", "caf" + eCombining + " au lait", text(9, eAcute), "caf" + eCombining},
        });
}

TEST(RemoveCharacters, EveryRuleGivesEmptyForEmpty) {
    for (std::int64_t type = 0; type <= 12; ++type)
        EXPECT_EQ(runWith(TextActionType::removeCharacters,
                          {{"RemoveCharactersType", Value(type)},
                           {"CharactersForDelete", Value("a")},
                           {"AfterBeforeText", Value("a")},
                           {"Position", Value(2)}},
                          ""),
                  "")
            << type;
}

// The emoji rule must remove exactly what the ICU pattern matches, for every code point
// of the planes where emoji live.
TEST(RemoveCharacters, EmojiRuleAgreesWithThePattern) {
    std::string input;
    for (char32_t c = 0x20; c < 0x20000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        lexorra::text::appendCodePoint(input, c);
    }
    auto regex = lexorra::text::Regex::compile("[\\p{Emoji}&&[^0-9]&&[^*#\xC2\xA9\xC2\xAE\xE2\x80\xBC\xE2\x81\x89"
                                               "\xE2\x93\x82\xE2\x84\xA2\xE2\x93\x9C]]",
                                               {.caseInsensitive = true});
    ASSERT_TRUE(regex);
    auto expected = regex->replaceAll(lexorra::text::toUnicode(input), icu::UnicodeString());
    ASSERT_EQ(expected.status, lexorra::text::RegexStatus::ok);
    const std::string got = runWith(TextActionType::removeCharacters, {{"RemoveCharactersType", Value(6)}}, input);
    EXPECT_EQ(got, lexorra::text::toUtf8(expected.text));
    EXPECT_LT(got.size(), input.size());
}

} // namespace
