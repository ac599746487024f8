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
    while (auto row = reader.next()) rows.push_back(*row);
    return rows;
}

} // namespace

TEST(CSVReader, SplitsRecordsAndFields) {
    const struct {
        const char* name;
        std::string input;
        Rows expected;
    } cases[] = {
        {"empty text has no records", "", {}},
        {"one field", "a", {{"a"}}},
        {"trailing line feed ends the last record", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
        {"CR LF and lone CR end records", "a\r\nb\rc", {{"a"}, {"b"}, {"c"}}},
        {"empty line is a record with one empty field", "a\n\nb", {{"a"}, {""}, {"b"}}},
        {"trailing delimiter gives an empty field", "a,\n", {{"a", ""}}},
        {"fields are not trimmed", " a , b ", {{" a ", " b "}}},
        {"quoted field keeps delimiters and breaks", "\"a,b\nc\",d", {{"a,b\nc", "d"}}},
        {"doubled quote is one quote", "\"say \"\"hi\"\"\",x", {{"say \"hi\"", "x"}}},
        {"empty quoted field", "\"\",x", {{"", "x"}}},
        {"unterminated quote runs to the end", "\"abc\nd", {{"abc\nd"}}},
        {"text after a closing quote is kept", "\"ab\"cd,e", {{"abcd", "e"}}},
        {"quote inside an unquoted field is literal", "a\"b,c", {{"a\"b", "c"}}},
        {"non-ASCII text", "é,日本\n", {{"é", "日本"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.input), c.expected) << c.name;
}

TEST(CSVReader, OtherDelimiters) {
    EXPECT_EQ(readAll("a;b,c", {.delimiter = U';'}), (Rows{{"a", "b,c"}}));
    EXPECT_EQ(readAll("a\tb", {.delimiter = U'\t'}), (Rows{{"a", "b"}}));
    EXPECT_EQ(readAll("a§b§\"§\"", {.delimiter = U'§'}), (Rows{{"a", "b", "§"}}));
    EXPECT_EQ(readAll("a  b", {.delimiter = U' '}), (Rows{{"a", "", "b"}}));
}

TEST(CSVReader, TrimsWhenAsked) {
    EXPECT_EQ(readAll("  a ,\t\"b \" , c", {.trimFields = true}), (Rows{{"a", "b ", "c"}}));
    // The delimiter is never trimmed away, even when it is white space.
    EXPECT_EQ(readAll("a\t\tb", {.trimFields = true, .delimiter = U'\t'}), (Rows{{"a", "", "b"}}));
}

TEST(CSVReader, HeaderRowAndFieldsByName) {
    CSVReader reader("name,age,name\nAnn,30,Other\nBob\n", {.hasHeaderRow = true});
    ASSERT_TRUE(reader.headerRow);
    EXPECT_EQ(*reader.headerRow, (std::vector<std::string>{"name", "age", "name"}));
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.field("name"), "Ann"); // first column of that name
    EXPECT_EQ(reader.field("age"), "30");
    EXPECT_EQ(reader.field("missing"), std::nullopt);
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.field("age"), ""); // the record is shorter
    EXPECT_FALSE(reader.next());

    CSVReader empty("", {.hasHeaderRow = true});
    EXPECT_FALSE(empty.headerRow);
    EXPECT_EQ(empty.error, CSVReader::Error::cannotReadHeaderRow);
}

TEST(CSVReader, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(readAll("a\xff,b"), (Rows{{"a\xEF\xBF\xBD", "b"}}));
}

TEST(CSVWriter, QuotesTextAndLeavesNumbersBare) {
    const struct {
        const char* name;
        std::string field;
        std::string expected;
    } cases[] = {
        {"text is quoted", "x", "\"x\""},
        {"number is bare", "30", "30"},
        {"decimal is bare", "1.5", "1.5"},
        {"text with a digit is bare", "abc1", "abc1"},
        {"empty is nothing", "", ""},
        {"delimiter forces quotes", "1,2", "\"1,2\""},
        {"quote is doubled", "5\"", "\"5\"\"\""},
        {"line break forces quotes", "1\n2", "\"1\n2\""},
        {"carriage return forces quotes", "1\r", "\"1\r\""},
        {"other script digits count as digits", "٣", "٣"},
        {"true is text", "true", "\"true\""},
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

TEST(CSVWriter, SeparatesRecordsWithoutTrailingNewline) {
    CSVWriter writer;
    writer.write(std::vector<std::string>{"x", "30"});
    writer.write(std::vector<std::string>{"", "y"});
    EXPECT_EQ(writer.data(), "\"x\",30\n,\"y\"");

    CSVWriter crlf({.delimiter = ";", .newline = CSVWriter::Newline::crlf});
    crlf.write(std::vector<std::string>{"a;b", "1"});
    crlf.write(std::vector<std::string>{"2"});
    EXPECT_EQ(crlf.data(), "\"a;b\";1\r\n2");

    CSVWriter empty; // two records without fields still get their separator
    empty.write(std::vector<std::string>{});
    empty.write(std::vector<std::string>{});
    EXPECT_EQ(empty.data(), "\n");
}
