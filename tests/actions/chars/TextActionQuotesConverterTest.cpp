#include "actions/chars/TextActionQuotesConverter.h"

#include "core/ActionFactory.h"
#include "core/Json.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lexorra::QuotesConverterType;
using lexorra::TextActionQuotesConverter;

namespace {

using lexorra::testing::Row;

std::string run(QuotesConverterType type, std::string_view input) {
    TextActionQuotesConverter action;
    action.conversion = type;
    return action.transform(input);
}

} // namespace

TEST(TextActionQuotesConverter, StraightToCurly) {
    const std::vector<Row> cases = {
        {"double quotes after a space", "say \"hi\"", "say “hi”"},
        {"double quotes at the start", "\"hi\" there", "“hi” there"},
        {"apostrophe in a word", "don't", "don’t"},
        {"abbreviated decade", "'90s", "’90s"},
        {"single quotes", "'quoted' text", "‘quoted’ text"},
        {"rock 'n' roll", "rock 'n' roll", "rock ’n’ roll"},
        {"upper-case apostrophe", "DON'T", "DON’T"},
        {"inch mark not closed becomes an opener", "a 5\" board", "a 5“ board"},
        {"foot mark becomes a prime", "6' tall", "6′ tall"},
        {"two quotations", "\"a\" and \"b\"", "“a” and “b”"},
        {"leading apostrophe", "'tis the season", "’tis the season"},
        {"nothing to do", "plain text", "plain text"},
        {"multi-line", "\"one\"\n'two'", "“one”\n‘two’"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(QuotesConverterType::toCurly, c.input), c.expected) << c.name;
}

TEST(TextActionQuotesConverter, CurlyToStraight) {
    const std::vector<Row> cases = {
        {"double", "“hi”", "\"hi\""},
        {"single and apostrophe", "‘it’s’", "'it's'"},
        {"prime and guillemets stay", "6′ «x»", "6′ «x»"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(QuotesConverterType::toStraight, c.input), c.expected) << c.name;
}

TEST(TextActionQuotesConverter, RoundTripOfPlainQuotations) {
    const std::string text = "She said \"don't go\" and 'left'.";
    EXPECT_EQ(run(QuotesConverterType::toStraight, run(QuotesConverterType::toCurly, text)), text);
}
