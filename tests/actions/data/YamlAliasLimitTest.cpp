// Alias expansion limits: the bomb is refused without being built, and when a document
// holds more than one problem the first one in document order is the one reported.
#include "actions/data/YamlLoader.h"
#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace lexorra;
using namespace lexorra::data;

namespace {

const std::string tooLarge = "aliases expand the document beyond 1000000 nodes or 16000000 bytes of text";
const std::string tooDeep = "collections nest deeper than 1000 levels";

using lexorra::testing::repeat;

// Nine copies of the level below, nine "lol" at the bottom; the anchors are defined inside
// the first copy, so the definitions themselves add no extra top-level nodes.
// Level k expands to 1 + 9 * (nodes of level k-1) nodes: 10, 91, 820, 7381, 66430, 597871.
std::string laughs(int level) {
    if (level == 0) return "&a0 [lol, lol, lol, lol, lol, lol, lol, lol, lol]";
    const std::string below = "*a" + std::to_string(level - 1);
    std::string out = "&a" + std::to_string(level) + " [" + laughs(level - 1);
    for (int i = 0; i < 8; ++i)
        out += ", " + below;
    return out + "]";
}

std::string chain(size_t levels, std::string_view inner) {
    return repeat("[", levels) + std::string(inner) + repeat("]", levels);
}

std::string load(const std::string& yaml) {
    const YamlLoadResult r = loadYamlForJson(yaml);
    switch (r.status) {
    case YamlLoad::ok:
        return "ok";
    case YamlLoad::empty:
        return "empty";
    case YamlLoad::notForJson:
        return "notForJson";
    case YamlLoad::error:
        return r.error;
    }
    return "?";
}

TEST(YamlLoader, FirstProblemInDocumentOrderWins) {
    const std::string bomb = "bomb: " + laughs(5) + "\nagain: [*a5, *a5]\n";
    const lexorra::testing::Row cases[] = {
        {"BombAlone", bomb, tooLarge},
        {"BombBeforeNonStringKey", bomb + "? [k]\n: v\n", tooLarge},
        {"NonStringKeyBeforeBomb", "? [k]\n: v\n" + bomb, "notForJson"},
        {"InfinityBeforeBomb", "x: .inf\n" + bomb, "notForJson"},
        {"BombBeforeInfinity", bomb + "x: .inf\n", tooLarge},
        {"MergeOfAListBeforeBomb", "m: {<<: [[1]]}\n" + bomb, "notForJson"},
        {"DeepAliasBeforeBomb", "d: &d " + chain(990, "x") + "\ne: " + chain(20, "*d") + "\n" + bomb, tooDeep},
        {"BombBeforeDeepAlias", bomb + "d: &d " + chain(990, "x") + "\ne: " + chain(20, "*d") + "\n", tooLarge},
        // The second use of p crosses both limits; which comes first depends on the order inside p.
        {"BothLimitsBigPartFirst", "p: &p [" + laughs(5) + ", " + chain(12, "x") + "]\nq: " + chain(990, "*p") + "\n",
         tooLarge},
        {"BothLimitsDeepPartFirst", "p: &p [" + chain(12, "x") + ", " + laughs(5) + "]\nq: " + chain(990, "*p") + "\n",
         tooDeep},
        // Only one limit crossed on reuse.
        {"ReuseTooDeepOnly", "p: &p " + chain(12, "x") + "\nq: " + chain(990, "*p") + "\n", tooDeep},
        {"ReuseJustWithinDepth", "p: &p " + chain(12, "x") + "\nq: " + chain(987, "*p") + "\n", "ok"},
        {"ReuseJustBeyondDepth", "p: &p " + chain(12, "x") + "\nq: " + chain(988, "*p") + "\n", tooDeep},
        {"ReuseOnceTooMany", "p: " + laughs(5) + "\nq: *a5\n", tooLarge},
        // Merged mappings count once per merge.
        {"MergeBomb", "a: &a {" + repeat("k: v, ", 1) + "l: " + laughs(5) + "}\nb: {<<: *a}\n", tooLarge},
        {"MergeOfAScalarInAListAfterBomb", bomb + "m: {<<: [1]}\n", tooLarge},
        // Text size: few nodes, long texts.
        {"LongTextReused", "a: &a " + std::string(100000, 'x') + "\nb: [" + repeat("*a, ", 200) + "*a]\n", tooLarge},
        {"LongTextReusedWithinBounds", "a: &a " + std::string(100000, 'x') + "\nb: [" + repeat("*a, ", 100) + "*a]\n",
         "ok"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.input), c.expected) << c.name;
}

TEST(YamlLoader, AcceptedReuseGivesTheFullExpansion) {
    const YamlLoadResult r = loadYamlForJson("p: " + laughs(4) + "\nq: [*a3, *a4]\n");
    ASSERT_EQ(r.status, YamlLoad::ok);
    const Value* p = r.value.get("p");
    ASSERT_TRUE(p && p->isList());
    ASSERT_EQ(p->asList().size(), 9u);
    const Value* leaf = &p->asList()[8];
    for (int level = 3; level >= 0; --level) {
        ASSERT_TRUE(leaf->isList() && leaf->asList().size() == 9u) << level;
        leaf = &leaf->asList()[8];
    }
    EXPECT_EQ(*leaf, Value(std::string("lol")));
    const Value* q = r.value.get("q");
    ASSERT_TRUE(q && q->isList() && q->asList().size() == 2u);
    EXPECT_EQ(q->asList()[1], *p);
    EXPECT_EQ(q->asList()[0], p->asList()[0]);
}

TEST(YamlLoader, BillionLaughsIsRefusedQuickly) {
    std::string yaml = "a0: &a0 [lol, lol, lol, lol, lol, lol, lol, lol, lol]\n";
    for (int i = 1; i < 10; ++i) {
        yaml += "a" + std::to_string(i) + ": &a" + std::to_string(i) + " [";
        for (int j = 0; j < 9; ++j)
            yaml += (j ? ", *a" : "*a") + std::to_string(i - 1);
        yaml += "]\n";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(load(yaml), tooLarge);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 0.5);
}

} // namespace
