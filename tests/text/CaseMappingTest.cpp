#include "text/CaseMapping.h"

#include "text/Utf.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <string>

using namespace lexorra::text;

namespace {

std::string icuCase(std::string_view s, bool up) {
    auto u = toUnicode(s);
    up ? u.toUpper(icu::Locale::getRoot()) : u.toLower(icu::Locale::getRoot());
    return toUtf8(u);
}

// Every code point, each followed by a letter so that context-sensitive mappings see context.
std::string allCodePoints(char32_t follower) {
    std::string s;
    for (char32_t c = 1; c <= 0x1FFFF; ++c) { // the planes where letters live
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        appendCodePoint(s, c);
        appendCodePoint(s, follower);
    }
    return s;
}

} // namespace

// Invalid bytes, one truncated sequence at the very end, must become replacement characters as ICU makes them.
TEST(CaseMapping, AgreesWithIcuOverEveryCodePointAndInvalidBytes) {
    for (char32_t follower : {U'a', U'\u03A3'}) {
        const std::string all = allCodePoints(follower) + "a\xFF" "b\xC3 \xF0\x9F\x98 \xCE\xA3 x\xE2\x82";
        EXPECT_EQ(upper(all), icuCase(all, true)) << static_cast<uint32_t>(follower);
        EXPECT_EQ(lower(all), icuCase(all, false)) << static_cast<uint32_t>(follower);
    }
}

TEST(CaseMapping, CapitalizeAndInitials) {
    struct Case {
        std::string input, capitalised, initialUp, initialLow;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"hELLO wORLD", "Hello World", "HELLO wORLD", "hELLO wORLD"},
        {"ßtraße", "Sstraße", "SStraße", "ßtraße"},
        {"e\u0301cole", "E\u0301cole", "E\u0301cole", "e\u0301cole"},
        {"\u00A0abc\u2028DEF", "\u00A0Abc\u2028Def", "\u00A0abc\u2028DEF", "\u00A0abc\u2028DEF"},
        {"ΣΟΦΟΣ", "Σοφος", "ΣΟΦΟΣ", "σΟΦΟΣ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(capitalizeWords(c.input), c.capitalised) << c.input;
        EXPECT_EQ(initialUpper(c.input), c.initialUp) << c.input;
        EXPECT_EQ(initialLower(c.input), c.initialLow) << c.input;
    }
}
