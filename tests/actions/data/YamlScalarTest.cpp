#include "actions/data/YamlScalar.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lexorra::data;

namespace {

struct Case {
    std::string text;
    ScalarKind kind;
    double number = 0; // integer or float value where it matters
};

} // namespace

TEST(YamlScalar, NullAndBoolean) {
    for (const char* t : {"~", "null", "Null", "NULL", ""})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::null) << t;
    for (const char* t : {"yes", "Yes", "YES", "true", "True", "TRUE", "on", "On", "ON"}) {
        auto r = resolvePlainScalar(t);
        EXPECT_EQ(r.kind, ScalarKind::boolean) << t;
        EXPECT_TRUE(r.boolean) << t;
    }
    for (const char* t : {"no", "No", "NO", "false", "False", "FALSE", "off", "Off", "OFF"}) {
        auto r = resolvePlainScalar(t);
        EXPECT_EQ(r.kind, ScalarKind::boolean) << t;
        EXPECT_FALSE(r.boolean) << t;
    }
    for (const char* t : {"nULL", "yEs", "y", "n", "TRue", "none"})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::string) << t;
}

TEST(YamlScalar, Integers) {
    const std::pair<const char*, double> cases[] = {
        {"0", 0},     {"-0", 0},          {"42", 42},   {"+42", 42},       {"-17", -17},    {"1_000", 1000},
        {"010", 8},   {"0o17", 15},       {"00", 0},    {"0_7", 7},        {"0b101", 5},    {"-0b1_0", -2},
        {"0x1F", 31}, {"0xff_ff", 65535}, {"1:30", 90}, {"1:30:15", 5415}, {"-2:05", -125}, {"190:20:30", 685230}};
    for (const auto& [text, number] : cases) {
        auto r = resolvePlainScalar(text);
        EXPECT_EQ(r.kind, ScalarKind::integer) << text;
        EXPECT_FALSE(r.integerOverflow) << text;
        EXPECT_EQ(static_cast<double>(r.integer), number) << text;
    }
    EXPECT_EQ(resolvePlainScalar("9223372036854775807").integer, INT64_MAX);
    auto smallest = resolvePlainScalar("-9223372036854775808");
    EXPECT_FALSE(smallest.integerOverflow);
    EXPECT_EQ(smallest.integer, INT64_MIN);
    auto huge = resolvePlainScalar("99999999999999999999");
    EXPECT_EQ(huge.kind, ScalarKind::integer);
    EXPECT_TRUE(huge.integerOverflow);
    EXPECT_EQ(huge.floating, 1e20);
    // Just past the signed range: the double must be the exact value rounded once.
    const std::vector<std::pair<const char*, double>> pastSigned = {
        {"9223372036854775808", 9223372036854775808.0},
        {"-9223372036854775809", -9223372036854775808.0},
        {"0xffffffffffffffff", 18446744073709551615.0},
        {"18446744073709551615", 18446744073709551615.0},
        // Far past it, still the nearest double, not a sum rounded at every digit.
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"-1_000_000_000_000_000_000_001", -1e21},
    };
    for (const auto& [text, expected] : pastSigned) {
        auto r = resolvePlainScalar(text);
        EXPECT_TRUE(r.integerOverflow) << text;
        EXPECT_EQ(r.floating, expected) << text;
    }
}

TEST(YamlScalar, NotIntegers) {
    // Each of these fails the integer rule and is left a string ("08" is a float, among the floats).
    for (const char* t : {"0b", "0x", "0b2", "0xg", "0o", "0:30", "1:60", "1:", "1_000a", "-", "+", "1 000", "١٢"})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::string) << t;
}

TEST(YamlScalar, Floats) {
    const std::vector<Case> cases = {
        {"1.5", ScalarKind::floating, 1.5},       {"-1.5", ScalarKind::floating, -1.5},
        {"1.", ScalarKind::floating, 1},          {"1e3", ScalarKind::floating, 1000},
        {"1.5E-2", ScalarKind::floating, 0.015},  {"+2.5e+2", ScalarKind::floating, 250},
        {".5", ScalarKind::floating, 0.5},        {".5e+1", ScalarKind::floating, 5},
        {"1_0.2_5", ScalarKind::floating, 10.25}, {"1:30.5", ScalarKind::floating, 90.5},
        {"-1:30.5", ScalarKind::floating, -90.5}, {"0:30.5", ScalarKind::floating, 30.5},
        {"08", ScalarKind::floating, 8},
    };
    for (const auto& c : cases) {
        auto r = resolvePlainScalar(c.text);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_DOUBLE_EQ(r.floating, c.number) << c.text;
    }
    for (const char* t : {".inf", ".Inf", ".INF", "+.inf"})
        EXPECT_EQ(resolvePlainScalar(t).floating, INFINITY) << t;
    EXPECT_EQ(resolvePlainScalar("-.inf").floating, -INFINITY);
    for (const char* t : {".nan", ".NaN", ".NAN"})
        EXPECT_TRUE(std::isnan(resolvePlainScalar(t).floating)) << t;
    EXPECT_EQ(resolvePlainScalar("1e999").floating, INFINITY);
    // Sign before the dot form, a sign-less exponent on the dot form, .NaN with a sign.
    for (const char* t : {"-.5", ".5e1", "-.nan", ".iNf", "1e", "1e+", "1.5.2", "e3", "inf", "nan", "."})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::string) << t;
}

TEST(YamlScalar, Timestamps) {
    for (const char* t :
         {"2024-01-02", "2001-12-14t21:59:43.10-05:00", "2001-12-14 21:59:43.10 -5", "2001-12-15T02:59:43.1Z",
          "2002-12-14 2:59:43", "2001-1-2\t\t01:02:03", "2001-12-14T21:59:43"})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::timestamp) << t;
    for (const char* t : {"2024-1-02", "24-01-02", "2024-01-02T", "2024-01-02 10:00", "2024-01-02T10:00:00+",
                          "2024-01-02T10:00:00 X", "2024/01/02"})
        EXPECT_EQ(resolvePlainScalar(t).kind, ScalarKind::string) << t;
}

TEST(YamlScalar, QuotingDecision) {
    for (const char* t : {"true", "1", "null", "", "1.5", "2024-01-02", "~", "0x10", ".nan"})
        EXPECT_TRUE(resolvesToNonString(t)) << t;
    for (const char* t : {"x", "<null>", "hello world", "1a", "é"})
        EXPECT_FALSE(resolvesToNonString(t)) << t;
}
