#include "actions/data/CSVReader.h"
#include "actions/data/CSVWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lexorra;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows readAll(std::string_view text, CSVReader::Configuration configuration = {}) {
    CSVReader reader(text, std::move(configuration));
    Rows rows;
    while (auto row = reader.next())
        rows.push_back(*row);
    return rows;
}

} // namespace

// What the CSV actions' tables do not already show: record ends, quotes in odd places.
TEST(CSVReader, SplitsRecordsAndFields) {
    const struct {
        const char* name;
        std::string input;
        Rows expected;
    } cases[] = {
        {"empty text has no records", "", {}},
        {"one field", "a", {{"a"}}},
        {"CR LF and lone CR end records", "a\r\nb\rc", {{"a"}, {"b"}, {"c"}}},
        {"fields are not trimmed", " a , b ", {{" a ", " b "}}},
        {"quoted field keeps delimiters and breaks", "\"a,b\nc\",d", {{"a,b\nc", "d"}}},
        {"empty quoted field", "\"\",x", {{"", "x"}}},
        {"unterminated quote runs to the end", "\"abc\nd", {{"abc\nd"}}},
        {"text after a closing quote is kept", "\"ab\"cd,e", {{"abcd", "e"}}},
        {"quote inside an unquoted field is literal", "a\"b,c", {{"a\"b", "c"}}},
        {"invalid UTF-8 becomes U+FFFD", "a\xff,b", {{"a\xEF\xBF\xBD", "b"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readAll(c.input), c.expected) << c.name;
}

TEST(CSVReader, OtherDelimiters) {
    EXPECT_EQ(readAll("a§b§\"§\"", {.delimiter = U'§'}), (Rows{{"a", "b", "§"}}));
    EXPECT_EQ(readAll("a  b", {.delimiter = U' '}), (Rows{{"a", "", "b"}}));
}

TEST(CSVWriter, QuotesTextAndLeavesNumbersBare) {
    const struct {
        const char* name;
        std::string field;
        std::string expected;
    } cases[] = {
        {"decimal is bare", "1.5", "1.5"},
        {"text with a digit is bare", "abc1", "abc1"},
        {"quote is doubled", "5\"", "\"5\"\"\""},
        {"line break forces quotes", "1\n2", "\"1\n2\""},
        {"carriage return forces quotes", "1\r", "\"1\r\""},
        {"other script digits count as digits", "٣", "٣"},
    };
    for (const auto& c : cases) {
        CSVWriter writer;
        writer.write(c.field);
        EXPECT_EQ(writer.data(), c.expected) << c.name;
    }
    CSVWriter forced;
    forced.write("12", true);
    EXPECT_EQ(forced.data(), "\"12\"");
}
