#include "text/GraphemeCursor.h"
#include "text/Graphemes.h"

#include <gtest/gtest.h>

#include <vector>

using lexorra::text::GraphemeCursor;

namespace {

std::vector<size_t> boundaries(GraphemeCursor& cursor, std::string_view s) {
    cursor.reset(s);
    std::vector<size_t> out{0};
    for (size_t b = cursor.next(); b != GraphemeCursor::npos; b = cursor.next()) out.push_back(b);
    return out;
}

} // namespace

TEST(GraphemeCursor, AgreesWithTheBreakRules) {
    const std::string texts[] = {
        "",
        "abc",
        "a\r\nb\rc\n",
        "e\u0301a\u0308\u0323",
        "x\U0001F468\u200D\U0001F469\u200D\U0001F467y",
        "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7!",
        "\u00e9\r\nb",
        "ab\u0301\r\n\u0301",
        "\U0001F44D\U0001F3FD a",
        "\xff\xfe" "ab",
    };
    GraphemeCursor cursor; // one cursor over many texts, as the actions use it
    for (const auto& text : texts) {
        if (text.empty()) {
            EXPECT_EQ(boundaries(cursor, text), std::vector<size_t>{0});
            continue;
        }
        EXPECT_EQ(boundaries(cursor, text), lexorra::text::graphemeBoundaries(text)) << text;
    }
}

TEST(GraphemeCursor, AdvanceStopsAtTheEnd) {
    GraphemeCursor cursor;
    cursor.reset("e\u0301xy");
    EXPECT_EQ(cursor.advance(1), 3u);
    EXPECT_EQ(cursor.advance(10), 5u);
    cursor.reset("a\r\nb");
    EXPECT_EQ(cursor.advance(2), 3u);
    cursor.reset("abc");
    EXPECT_EQ(cursor.advance(0), 0u);
    EXPECT_EQ(cursor.advance(2), 2u);
}

TEST(Graphemes, MoreThanALimitAgreesWithTheCountWhereverThePrefixEnds) {
    std::string heavy = "e";
    for (int i = 0; i < 10; ++i) heavy += "\u0301"; // one cluster of 21 bytes
    const std::string texts[] = {"ab", "abc", "a\r\n", "a\r\nb", std::string(23, 'x') + "\r\n", heavy + heavy,
                                 heavy + heavy + "x", heavy + heavy + heavy,
                                 "\U0001F468\u200D\U0001F469\u200D\U0001F467"};
    for (const auto& text : texts)
        for (size_t limit : {1u, 2u, 3u, 24u})
            EXPECT_EQ(lexorra::text::moreGraphemesThan(text, limit), lexorra::text::graphemeCount(text) > limit)
                << text << " limit " << limit;
}
