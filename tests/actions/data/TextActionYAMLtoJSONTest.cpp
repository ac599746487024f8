#include "actions/data/TextActionYAMLtoJSON.h"

#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

const std::string emptyMarker = "-- not valid YAML -- ";
const std::string notForJson = "-- not valid --";
const std::string notJson = "  --- Not valid JSON --- ";

std::string toJson(std::string_view yaml) {
    TextActionYAMLtoJSON action;
    action.conversion = YAMLType::toJson;
    return action.transform(yaml);
}

std::string toYaml(std::string_view json) {
    TextActionYAMLtoJSON action;
    action.conversion = YAMLType::toYAML;
    return action.transform(json);
}

} // namespace

TEST(TextActionYAMLtoJSON, Table) {
    const std::vector<Row> cases = {
        // Yaml to json
        {"mapping with flow sequence", "a: 1\nb: [x, y]\n",
         "{\n  \"a\" : 1,\n  \"b\" : [\n    \"x\",\n    \"y\"\n  ]\n}"},
        // Which plain scalars are which is the scalar resolver's test; here, that each kind reaches the JSON.
        {"yes, Off, octal, base 60, hex, binary, floats", "[yes, Off, 010, 1:30, 0x1F, 0b101, 1.5, 1e3, .5]",
         "[\n  true,\n  false,\n  8,\n  90,\n  31,\n  5,\n  1.5,\n  1000,\n  0.5\n]"},
        {"large and small floats", "[100000.0, 2.5e5, 0.0001, 1.5e-5]",
         "[\n  100000,\n  250000,\n  0.0001,\n  1.5e-05\n]"},
        {"null spellings", "[~, null, NULL]", "[\n  null,\n  null,\n  null\n]"},
        {"empty value is null", "a:\nb: 1", "{\n  \"a\" : null,\n  \"b\" : 1\n}"},
        {"quoted scalars stay strings", "[\"1\", 'true', \"\"]", "[\n  \"1\",\n  \"true\",\n  \"\"\n]"},
        {"str tag keeps a string", "v: !!str 42", "{\n  \"v\" : \"42\"\n}"},
        {"int tag on a quoted text", "v: !!int \"42\"", "{\n  \"v\" : 42\n}"},
        {"non-specific tag is a string", "v: ! 42", "{\n  \"v\" : \"42\"\n}"},
        {"block scalars", "l: |\n  a\n  b\nf: >\n  c\n  d\n", "{\n  \"l\" : \"a\\nb\\n\",\n  \"f\" : \"c d\\n\"\n}"},
        {"slash escaped", "u: a/b", "{\n  \"u\" : \"a\\/b\"\n}"},
        {"non-ASCII raw", "v: café", "{\n  \"v\" : \"café\"\n}"},
        {"nested", "a:\n  b:\n    - c: 1\n",
         "{\n  \"a\" : {\n    \"b\" : [\n      {\n        \"c\" : 1\n      }\n    ]\n  }\n}"},
        {"empty collections", "a: []\nb: {}", "{\n  \"a\" : [],\n  \"b\" : {}\n}"},
        {"explicit document markers", "---\na: 1\n...\n", "{\n  \"a\" : 1\n}"},
        {"comments ignored", "# top\na: 1 # one\n", "{\n  \"a\" : 1\n}"},
        {"duplicate key keeps the last value", "a: 1\nb: 2\na: 3", "{\n  \"a\" : 3,\n  \"b\" : 2\n}"},
        {"alias shares the anchored node", "a: &x [1]\nb: *x",
         "{\n  \"a\" : [\n    1\n  ],\n  \"b\" : [\n    1\n  ]\n}"},
        // Merge keys
        {"merge then override", "b: &b {x: 1, y: 2}\nd:\n  <<: *b\n  y: 3\n",
         "{\n  \"b\" : {\n    \"x\" : 1,\n    \"y\" : 2\n  },\n  \"d\" : {\n    \"x\" : 1,\n    \"y\" : 3\n  }\n}"},
        {"explicit key before the merge wins", "b: &b {x: 1}\nd: {x: 9, <<: *b}",
         "{\n  \"b\" : {\n    \"x\" : 1\n  },\n  \"d\" : {\n    \"x\" : 9\n  }\n}"},
        {"earlier mapping of a merge list wins", "p: &p {x: 1}\nq: &q {x: 2, z: 3}\nd: {<<: [*p, *q]}",
         "{\n  \"p\" : {\n    \"x\" : 1\n  },\n  \"q\" : {\n    \"x\" : 2,\n    \"z\" : 3\n  },\n  \"d\" : {\n    "
         "\"x\" : 1,\n"
         "    \"z\" : 3\n  }\n}"},
        {"<< with a scalar is an ordinary key", "<<: 1", "{\n  \"<<\" : 1\n}"},
        {"quoted << is an ordinary key", "d: {'<<': 1}", "{\n  \"d\" : {\n    \"<<\" : 1\n  }\n}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toJson(c.input), c.expected) << c.name;
}

TEST(TextActionYAMLtoJSON, WhatJsonCannotHold) {
    const char* const inputs[] = {"v: .inf",
                                  "v: -.Inf",
                                  "v: .nan",
                                  "d: 2024-01-02",
                                  "1: a",
                                  "~: a",
                                  "[1, 2]: a",
                                  "{a: 1}: b",
                                  "x",
                                  "42",
                                  "\"text\"",
                                  "---\n",
                                  "v: !!binary aGVsbG8=",
                                  "v: !!timestamp x",
                                  "v: 1e999",
                                  "d: {<<: [1]}"};
    for (const auto& input : inputs)
        EXPECT_EQ(toJson(input), notForJson) << input;
}

TEST(TextActionYAMLtoJSON, EmptyStreams) {
    for (const char* input : {"", "   ", "\n\n", "# only a comment\n"})
        EXPECT_EQ(toJson(input), emptyMarker) << input;
}

// The parser's own message, with its positions, is the result; its wording is the parser's.
TEST(TextActionYAMLtoJSON, ParserErrorsAreTheResult) {
    EXPECT_EQ(toJson("a: 1\n---\nb: 2\n"),
              "expected a single document in the stream (line 1, column 1): but found another document (line 2, "
              "column 1)");
    EXPECT_EQ(toJson("a: *nope"), "found undefined alias 'nope' (line 1, column 4)");
    EXPECT_EQ(toJson("a: [1, 2\n"),
              "while parsing a flow sequence (line 1, column 4): did not find expected ',' or ']' (line 2, column 1)");
    EXPECT_NE(toJson("a: b: c").find("mapping values are not allowed"), std::string::npos);
}

TEST(TextActionYAMLtoJSON, JsonToYaml) {
    const std::vector<Row> cases = {
        {"null becomes <null>", R"({"a":null})", "a: <null>\n"},
        {"integral number and fraction", R"({"n":2.0,"m":1.5})", "n: 2\nm: 1.5\n"},
        {"small and large fractions", R"([0.00015,123456.5,1e-5])", "- 0.00015\n- 123456.5\n- 1e-05\n"},
        {"booleans plain", R"({"t":true,"f":false})", "t: true\nf: false\n"},
        {"texts that look typed are quoted", R"(["1","null","","2024-01-02","0x1F","~","1.5","yes","true","x"])",
         "- '1'\n- 'null'\n- ''\n- '2024-01-02'\n- '0x1F'\n- '~'\n- '1.5'\n- 'yes'\n- 'true'\n- x\n"},
        {"keys that look typed are quoted", R"({"1":"a","true":"b"})", "'1': a\n'true': b\n"},
        {"accented letter escaped", R"({"v":"café"})", "v: \"caf\\xE9\"\n"},
        {"non-ASCII key escaped", R"({"é":1})", "\"\\xE9\": 1\n"},
        {"nested block collections", R"({"a":{"b":[1,{"c":2}]}})", "a:\n  b:\n  - 1\n  - c: 2\n"},
        {"empty collections", R"({"a":[],"b":{}})", "a: []\nb: {}\n"},
        {"empty top-level array", "[]", "[]\n"},
        {"nulls inside arrays", "[null,[null]]", "- <null>\n- - <null>\n"},
        {"member order kept", R"({"z":1,"a":2})", "z: 1\na: 2\n"},
        {"long text folded at 80",
         R"({"t":"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp qqqq"})",
         "t: aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp\n  qqqq\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toYaml(c.input), c.expected) << c.name;
}

TEST(TextActionYAMLtoJSON, JsonToYamlRejectsWhatIsNotJson) {
    for (const char* input : {"", "nope", "42", "\"x\"", "{\"a\":1,}", "[1,]", "{a:1}"})
        EXPECT_EQ(toYaml(input), notJson) << input;
}

TEST(TextActionYAMLtoJSON, RoundTripKeepsTypes) {
    const std::string json = R"({"s":"true","n":"1","e":"","d":"2024-01-02","i":7,"f":1.25,"b":false,"l":["x","0"]})";
    const std::string back = toJson(toYaml(json));
    EXPECT_EQ(back,
              "{\n  \"s\" : \"true\",\n  \"n\" : \"1\",\n  \"e\" : \"\",\n  \"d\" : \"2024-01-02\",\n  \"i\" : 7,\n"
              "  \"f\" : 1.25,\n  \"b\" : false,\n  \"l\" : [\n    \"x\",\n    \"0\"\n  ]\n}");
}
