#include "actions/chars/StyledAlphabets.h"

#include <string>

namespace lexorra::styled {
namespace {

constexpr std::u32string_view plainText = U"1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ?!&,_.";
constexpr std::u32string_view digits = U"1234567890";
constexpr std::u32string_view punctuation = U"?!&,_.";

// Ten digits: nine consecutive code points for 1..9, then the zero.
std::u32string digitRange(char32_t one, char32_t zero) {
    std::u32string s;
    for (char32_t i = 0; i < 9; ++i) s += one + i;
    s += zero;
    return s;
}

std::u32string letterRange(char32_t a) {
    std::u32string s;
    for (char32_t i = 0; i < 26; ++i) s += a + i;
    return s;
}

Alphabet makeAlphabet(const std::u32string& digitPart, const std::u32string& lower, const std::u32string& upper) {
    const std::u32string all = digitPart + lower + upper + std::u32string(punctuation);
    Alphabet a{};
    for (size_t i = 0; i < alphabetSize; ++i) a[i] = all.at(i);
    return a;
}

} // namespace

const Alphabet& plainAlphabet() {
    static const Alphabet plain = [] {
        Alphabet a{};
        for (size_t i = 0; i < alphabetSize; ++i) a[i] = plainText[i];
        return a;
    }();
    return plain;
}

const std::vector<Alphabet>& styledAlphabets() {
    static const std::vector<Alphabet> alphabets = [] {
        const std::u32string plainDigits(digits);
        const std::u32string plainLower = letterRange(U'a');
        const std::u32string plainUpper = letterRange(U'A');
        std::u32string italicLower = letterRange(0x1D44E);
        italicLower[7] = 0x210E; // the italic small h lives in Letterlike Symbols
        const std::u32string smallCapitals = {0x1D00, 0x0299, 0x1D04, 0x1D05, 0x1D07, 0xA730, 0x0262, 0x029C, 0x026A,
                                              0x1D0A, 0x1D0B, 0x029F, 0x1D0D, 0x0274, 0x1D0F, 0x1D18, 0x01EB, 0x0280,
                                              U's',   0x1D1B, 0x1D1C, 0x1D20, 0x1D21, U'x',   0x028F, 0x1D22};
        return std::vector<Alphabet>{
            makeAlphabet(digitRange(0x2460, 0x24EA), letterRange(0x24D0), letterRange(0x24B6)),
            makeAlphabet(digitRange(0x278A, 0x24FF), letterRange(0x1F150), letterRange(0x1F150)),
            makeAlphabet(plainDigits, letterRange(0x1F130), letterRange(0x1F130)),
            makeAlphabet(plainDigits, letterRange(0x1F170), letterRange(0x1F170)),
            makeAlphabet(digitRange(0x1D7ED, 0x1D7EC), letterRange(0x1D5EE), letterRange(0x1D5D4)),
            makeAlphabet(plainDigits, letterRange(0x1D622), letterRange(0x1D608)),
            makeAlphabet(plainDigits, letterRange(0x1D656), letterRange(0x1D63C)),
            makeAlphabet(digitRange(0x1D7CF, 0x1D7CE), letterRange(0x1D41A), letterRange(0x1D400)),
            makeAlphabet(plainDigits, italicLower, letterRange(0x1D434)),
            makeAlphabet(plainDigits, letterRange(0x1D482), letterRange(0x1D468)),
            makeAlphabet(digitRange(0x1D7F7, U'0'), letterRange(0x1D68A), letterRange(0x1D670)),
            makeAlphabet(plainDigits, smallCapitals, plainUpper),
        };
    }();
    return alphabets;
}

const Alphabet& upsideDownAlphabet() {
    static const Alphabet upsideDown = makeAlphabet(
        {0x0196, 0x1105, 0x0190, 0x3123, 0x03DB, U'9', 0x3125, U'8', U'6', U'0'},
        {0x0250, U'q', 0x0254, U'p', 0x01DD, 0x025F, 0x0183, 0x0265, 0x1D09, 0x027E, 0x029E, U'l', 0x026F,
         U'u', U'o', U'd', U'b', 0x0279, U's', 0x0287, U'n', 0x028C, 0x028D, U'x', 0x028E, U'z'},
        {0x2200, U'q', 0x0186, U'p', 0x018E, 0x2132, 0x05E4, U'H', U'I', 0x017F, 0x029E, 0x02E5, U'W',
         U'N', U'O', 0x0500, U'Q', 0x0279, U'S', 0x2534, 0x2229, 0x039B, U'M', U'X', 0x2144, U'Z'});
    static const Alphabet withPunctuation = [] {
        Alphabet a = upsideDown;
        const char32_t marks[6] = {0x00BF, 0x00A1, 0x214B, U'\'', 0x203E, 0x02D9};
        for (size_t i = 0; i < 6; ++i) a[alphabetSize - 6 + i] = marks[i];
        return a;
    }();
    return withPunctuation;
}

std::unordered_map<char32_t, char32_t> composePasses(const std::vector<std::pair<char32_t, char32_t>>& passes) {
    std::unordered_map<char32_t, char32_t> map; // original character -> what it has become
    for (const auto& [from, to] : passes) {
        if (from == to) continue;
        for (auto& [original, current] : map)
            if (current == from) current = to;
        map.try_emplace(from, to);
    }
    for (auto it = map.begin(); it != map.end();) it = it->first == it->second ? map.erase(it) : std::next(it);
    return map;
}

} // namespace lexorra::styled
