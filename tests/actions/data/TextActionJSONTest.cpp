#include "actions/data/TextActionJSON.h"
#include "actions/data/JsonPrettyWriter.h"

#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

const std::string marker = "  --- Not valid JSON --- ";

std::string run(std::string_view input) {
    return TextActionJSON().transform(input);
}

} // namespace

TEST(TextActionJSON, RejectsWhatIsNotAnObjectOrArray) {
    const char* const inputs[] = {"",           "42",           "\"text\"", "true",       "false",   "null",
                                  "-1.5",       "{\"a\":1,}",   "[1,2,]",   "/* c */ {}", "{'a':1}", "{a:1}",
                                  "[1 2]",      "{\"a\" 1}",    "[01]",     "[1.]",       "[.5]",    "[NaN]",
                                  "[Infinity]", "[\"a\\x\"]",   "{}{}",     "[] []",      "[1]x",    "{\"a\":[1,2}",
                                  "[1e400]",    "\xEF\xBB\xBF", "[tru]",    "[nul]",      "[+1]",    "[1e]",
                                  "{\"a\":}",   "[,1]",         "   \t "};
    const char* const longer[] = {"[\"\\ud800\"]",   "[\"unterminated]", "[\"tab\tinside\"]",
                                  "[1]\xEF\xBB\xBF", " \xEF\xBB\xBF[1]", "[100000000000000000000000,]"};
    for (const char* input : inputs)
        EXPECT_EQ(run(input), marker) << input;
    for (const char* input : longer)
        EXPECT_EQ(run(input), marker) << input;
    EXPECT_EQ(run("{\"a\":1 // note\n}"), marker);
}

TEST(TextActionJSON, Table) {
    const std::vector<Row> cases = {
        // Layout
        {"object with nested array", R"({"a":1,"b":[1,2]})", "{\n  \"a\" : 1,\n  \"b\" : [\n    1,\n    2\n  ]\n}"},
        {"array of scalars", R"([true,false,null,"x"])", "[\n  true,\n  false,\n  null,\n  \"x\"\n]"},
        {"empty containers stay on one line", R"({"a":[],"b":{}})", "{\n  \"a\" : [],\n  \"b\" : {}\n}"},
        {"empty top-level object", "{}", "{}"},
        {"empty top-level array", " [ ] ", "[]"},
        {"nested objects", R"({"a":{"b":{"c":1}}})", "{\n  \"a\" : {\n    \"b\" : {\n      \"c\" : 1\n    }\n  }\n}"},
        {"array of objects", R"([{"a":1},{"b":2}])", "[\n  {\n    \"a\" : 1\n  },\n  {\n    \"b\" : 2\n  }\n]"},
        {"surrounding whitespace is ignored", " \n {\"a\" : 1} \n", "{\n  \"a\" : 1\n}"},
        {"leading byte order mark is ignored", "\xEF\xBB\xBF{\"a\":1}", "{\n  \"a\" : 1\n}"},
        {"input member order is kept", R"({"z":1,"a":2,"m":3})", "{\n  \"z\" : 1,\n  \"a\" : 2,\n  \"m\" : 3\n}"},
        {"duplicate key: first place, last value", R"({"a":1,"b":2,"a":3})", "{\n  \"a\" : 3,\n  \"b\" : 2\n}"},
        // Strings
        {"slash escaped, as it was or not", R"(["a/b","a\/b"])", "[\n  \"a\\/b\",\n  \"a\\/b\"\n]"},
        {"non-ASCII raw", R"(["é€😀"])", "[\n  \"é€😀\"\n]"},
        {"unicode escapes decoded", R"(["\u00e9\ud83d\ude00"])", "[\n  \"é😀\"\n]"},
        {"quote and backslash", R"(["a\"b\\c"])", "[\n  \"a\\\"b\\\\c\"\n]"},
        {"short control escapes", R"(["\b\f\n\r\t"])", "[\n  \"\\b\\f\\n\\r\\t\"\n]"},
        {"other controls as \\u00xx", R"(["\u0001\u001f\u0000"])", "[\n  \"\\u0001\\u001f\\u0000\"\n]"},
        {"invalid UTF-8 read as U+FFFD", "[\"a\xffz\"]", "[\n  \"a\xEF\xBF\xBDz\"\n]"},
        {"DEL and line separator raw", "[\"\x7f\u2028\"]", "[\n  \"\x7f\u2028\"\n]"},
        {"keys are escaped too", R"({"a/b\n":1})", "{\n  \"a\\/b\\n\" : 1\n}"},
        // Numbers
        {"integers", "[0,-7,9223372036854775807,-9223372036854775808]",
         "[\n  0,\n  -7,\n  9223372036854775807,\n  -9223372036854775808\n]"},
        {"unsigned 64-bit", "[18446744073709551615]", "[\n  18446744073709551615\n]"},
        {"integral double loses its fraction", "[1.0,2.50]", "[\n  1,\n  2.5\n]"},
        {"shortest round trip", "[0.1,1e-7,1.5e300]", "[\n  0.1,\n  1e-07,\n  1.5e+300\n]"},
        {"exponent forms", "[1E2,1e+2,-0.0]", "[\n  100,\n  100,\n  -0\n]"},
        {"integral doubles in decimal notation", "[100000.0,1e5,1.5e10,1e15]",
         "[\n  100000,\n  100000,\n  15000000000,\n  1000000000000000\n]"},
        {"decimal notation down to 1e-4", "[0.0001,0.00012,0.00001,-0.000015]",
         "[\n  0.0001,\n  0.00012,\n  1e-05,\n  -1.5e-05\n]"},
        {"exponent notation above 2^53", "[1e16,9007199254740992.0,9007199254740994.0,1e22]",
         "[\n  1e+16,\n  9007199254740992,\n  9.007199254740994e+15,\n  1e+22\n]"},
        {"integer beyond 64 bits read as a double", R"({"n":100000000000000000000000,"m":[-1]})",
         "{\n  \"n\" : 1e+23,\n  \"m\" : [\n    -1\n  ]\n}"},
        {"big integer document: duplicate key keeps first place, last value",
         R"({"a":1,"b":2,"a":3,"n":100000000000000000000000})", "{\n  \"a\" : 3,\n  \"b\" : 2,\n  \"n\" : 1e+23\n}"},
        {"big integer document keeps order and escapes", R"(["a/b",-99999999999999999999,{"z":1,"a":2}])",
         "[\n  \"a\\/b\",\n  -1e+20,\n  {\n    \"z\" : 1,\n    \"a\" : 2\n  }\n]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.input), c.expected) << c.name;
}

// A long integer sends the text to the general parser; the nesting limit holds there too (the
// bounded-run tests give the usual parser its deep documents).
TEST(TextActionJSON, DeepNestingIsRejectedNotACrash) {
    const std::string big = "[100000000000000000000000,";
    EXPECT_EQ(run(big + std::string(100000, '[') + std::string(100000, ']') + "]"), marker);
    EXPECT_NE(run(big + std::string(500, '[') + std::string(500, ']') + "]"), marker);
    EXPECT_NE(run(std::string(500, '[') + std::string(500, ']')), marker);
}

// The tree reader keeps types, member order and the last of two equal keys: its layout is the
// text writer's to the byte.
TEST(JsonPrettyWriter, ValueTreeUsesTheSameLayout) {
    const std::string text = R"({"a":[1,2.5,"x/y",true,null,{}],"b":{"c":[false]},"a":7})";
    auto value = data::parseStrictJson(text);
    ASSERT_TRUE(value);
    EXPECT_EQ(data::prettyJson(*value), *data::prettyPrintJson(text));
    EXPECT_FALSE(data::parseStrictJson("3"));
    EXPECT_FALSE(data::parseStrictJson("[1,]"));
}
