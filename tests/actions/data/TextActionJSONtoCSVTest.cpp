#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/SwiftJSONFormatter.h"
#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

std::string toJson(std::string_view csv) {
    TextActionJSONtoCSV action;
    action.conversion = JSONtoCSVType::toJson;
    return action.transform(csv);
}

std::string toCsv(std::string_view json) {
    return TextActionJSONtoCSV().transform(json);
}

} // namespace

TEST(SwiftJSONFormatter, LaysOutCompactJson) {
    const Row cases[] = {
        {"array of one object", R"([{"a":1,"b":"x"}])", "[\n  {\n    \"a\": 1,\n    \"b\": \"x\"\n  }\n]"},
        {"empty containers stay closed", R"({"a":[],"b":{ }})", "{\n  \"a\": [],\n  \"b\": {}\n}"},
        {"strings copied with their escapes", R"(["a\"],{:","\\"])", "[\n  \"a\\\"],{:\",\n  \"\\\\\"\n]"},
        {"whitespace outside strings dropped", "[ 1 ,\n 2 ]", "[\n  1,\n  2\n]"},
        {"comma before a closing bracket", "[1,]", "[\n  1,\n]"},
        {"unbalanced input keeps going", "]]", "\n]\n]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SwiftJSONFormatter::format(c.input, "  ", "\n", " "), c.expected) << c.name;
    EXPECT_EQ(SwiftJSONFormatter::format(R"({"a":[1]})", "\t", "\r\n", ""), "{\r\n\t\"a\":[\r\n\t\t1\r\n\t]\r\n}");
}

TEST(JSONtoCSV, CsvToJsonTypesAndSortsMembers) {
    const Row cases[] = {
        {"one record", "name,age\nAnn,30", "[\n  {\n    \"age\": 30,\n    \"name\": \"Ann\"\n  }\n]"},
        {"short record gives empty texts", "a,b\n1", "[\n  {\n    \"a\": 1,\n    \"b\": \"\"\n  }\n]"},
        {"decimals stay strings, signs are read", "a,b,c\n1.5,-3,+4",
         "[\n  {\n    \"a\": \"1.5\",\n    \"b\": -3,\n    \"c\": 4\n  }\n]"},
        {"leading zeros are dropped", "a\n007", "[\n  {\n    \"a\": 7\n  }\n]"},
        {"quoted comma and doubled quote", "a\n\"x, \"\"y\"\"\"", "[\n  {\n    \"a\": \"x, \\\"y\\\"\"\n  }\n]"},
        {"duplicate header takes its first column", "a,a\n1,2", "[\n  {\n    \"a\": 1\n  }\n]"},
        {"two records", "a\n1\n2\n", "[\n  {\n    \"a\": 1\n  },\n  {\n    \"a\": 2\n  }\n]"},
        {"header only", "a,b\n", "[]"},
        {"empty input", "", ""},
        {"slash escaped, non-ASCII raw", "k/é\nx/ü", "[\n  {\n    \"k\\/é\": \"x\\/ü\"\n  }\n]"},
        {"line break in a field", "a\n\"1\n2\"", "[\n  {\n    \"a\": \"1\\n2\"\n  }\n]"},
        {"numbers beyond 64 bits stay strings", "a,b\n9223372036854775807,9223372036854775808",
         "[\n  {\n    \"a\": 9223372036854775807,\n    \"b\": \"9223372036854775808\"\n  }\n]"},
        {"lowest 64-bit integer", "a\n-9223372036854775808", "[\n  {\n    \"a\": -9223372036854775808\n  }\n]"},
        {"signs and spaces alone are text", "a,b,c\n-, 1,1 ",
         "[\n  {\n    \"a\": \"-\",\n    \"b\": \" 1\",\n    \"c\": \"1 \"\n  }\n]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toJson(c.input), c.expected) << c.name;
}

TEST(JSONtoCSV, KeyOrderOfJsonOutput) {
    std::vector<std::string> keys = {"b", "item10", "A", "item2", "a", "Item1", "_x"};
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return jsonKeyLess(a, b); });
    EXPECT_EQ(keys, (std::vector<std::string>{"_x", "A", "a", "b", "Item1", "item2", "item10"}));
    EXPECT_FALSE(jsonKeyLess("a", "a"));
    EXPECT_TRUE(jsonKeyLess("a", "ab"));
    EXPECT_FALSE(jsonKeyLess("ab", "a"));
}

TEST(JSONtoCSV, Table) {
    const Row cases[] = {
        // Json to csv tables
        {"header from sorted keys, then new keys", R"([{"b":1,"a":2},{"a":3,"c":4}])", "\"a\",\"b\",\"c\"\n2,1,\n3,,4"},
        {"flat object", R"({"b":"x","a":12})", "\"a\",\"b\"\n12,\"x\""},
        {"only the table of a member array", R"({"x":1,"rows":[{"k":"v"}],"y":"z"})", "\"k\"\n\"v\""},
        {"arrays one level down", R"({"outer":{"rows":[{"k":1}],"n":2}})", "\"k\"\n1"},
        {"second table has no header", R"({"a":[{"x":1}],"b":[{"y":2}]})", "\"x\"\n1\n2"},
        {"non-object elements skipped", R"([1,{"a":"t"},"s"])", "\"a\"\n\"t\""},
        {"text with a comma quoted, empty value bare", R"([{"a":"1,2","b":""}])", "\"a\",\"b\"\n\"1,2\","},
        {"empty array", "[]", ""},
        {"empty object", "{}", "\n"},
        // Cell texts
        {"numbers: integral, fraction, huge, small decimal, small exponent",
         R"([{"a":2.0,"b":1.5,"c":1e300,"d":0.0001,"e":0.00001}])",
         "\"a\",\"b\",\"c\",\"d\",\"e\"\n2,1.5,1e+300,0.0001,1e-05"},
        {"booleans and null", R"([{"a":true,"b":false,"c":null}])", "\"a\",\"b\",\"c\"\n\"true\",\"false\",\"<null>\""},
        {"nested list", R"([{"a":[1,"x",null]}])", "\"a\"\n\"[1, \"\"x\"\", \"\"<null>\"\"]\""},
        {"nested object", R"([{"a":{"k":[true]}}])", "\"a\"\n\"[\"\"k\"\": [true]]\""},
        {"empty nested containers", R"([{"a":{},"b":[]}])", "\"a\",\"b\"\n\"[:]\",\"[]\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toCsv(c.input), c.expected) << c.name;
}

TEST(JSONtoCSV, NotJsonGivesTheMarker) {
    for (const char* input : {"", "  ", "nope", "42", "\"text\"", "null", "[1,]", "{\"a\":1} x", "// c\n[]"})
        EXPECT_EQ(toCsv(input), "  --- Not valid JSON --- ") << input;
}

TEST(JSONtoCSV, RoundTripThroughCsv) {
    const std::string csv = toCsv(R"([{"name":"Ann","age":30},{"name":"Bob, Jr.","age":-4}])");
    EXPECT_EQ(csv, "\"age\",\"name\"\n30,\"Ann\"\n-4,\"Bob, Jr.\"");
    EXPECT_EQ(toJson(csv), "[\n  {\n    \"age\": 30,\n    \"name\": \"Ann\"\n  },\n"
                           "  {\n    \"age\": -4,\n    \"name\": \"Bob, Jr.\"\n  }\n]");
}
