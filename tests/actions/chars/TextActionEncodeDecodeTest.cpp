#include "actions/chars/TextActionEncodeDecode.h"

#include "core/ActionFactory.h"
#include "core/Json.h"
#include "support/ActionCases.h"
#include "text/Base64Strict.h"
#include "text/PercentCoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace lexorra;

namespace {

constexpr auto B64 = EncodeDecodeType::base64;
constexpr auto URL = EncodeDecodeType::url;
constexpr auto ENC = EncodeORDecode::encode;
constexpr auto DEC = EncodeORDecode::decode;
const std::string bad(TextActionEncodeDecode::notValidMarker);

// Six bits at a time, straight from the definition: the fast encoder must agree on every
// length (block and vector boundaries) and on every 6-bit value, and the decoder must give
// the bytes back.
std::string referenceBase64(std::string_view bytes) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (unsigned char c : bytes) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += alphabet[(bits >> count) & 63];
        }
    }
    if (count > 0) out += alphabet[(bits << (6 - count)) & 63];
    while (out.size() % 4 != 0)
        out += '=';
    return out;
}

struct Case {
    const char* name;
    EncodeDecodeType type;
    EncodeORDecode direction;
    bool separatedLines;
    std::string input;
    std::string expected;
};

std::string run(EncodeDecodeType type, EncodeORDecode direction, bool lines, std::string_view input) {
    TextActionEncodeDecode action;
    action.encodingType = type;
    action.encodeORDecode = direction;
    action.separatedLines = lines;
    return action.transform(input);
}

const Case cases[] = {
    {"one byte pads twice", B64, ENC, false, "a", "YQ=="},
    {"two bytes pad once", B64, ENC, false, "ab", "YWI="},
    {"empty", B64, ENC, false, "", ""},
    {"two lines as one piece", B64, ENC, false, "a\nb", "YQpi"},
    {"no line wrapping", B64, ENC, false, std::string(100, 'x'), referenceBase64(std::string(100, 'x'))},
    {"the two letters beyond the alphanumerics", B64, ENC, false, "\uFFFF", "77+/"},

    {"decode padded", B64, DEC, false, "YQ==", "a"},
    {"decode empty", B64, DEC, false, "", ""},
    {"trailing line feed fails", B64, DEC, false, "YWJj\n", bad},
    {"wrong length fails", B64, DEC, false, "YWJ", bad},
    {"padding in the middle fails", B64, DEC, false, "YQ==YWJj", bad},
    {"three padding characters fail", B64, DEC, false, "Y===", bad},
    {"only padding fails", B64, DEC, false, "====", bad},
    // Which bytes are UTF-8 is the checker's own test; here, that a failed check gives the marker.
    {"not utf8 fails", B64, DEC, false, "/w==", bad},
    {"decoded NUL is text", B64, DEC, false, "AA==", std::string(1, '\0')},
    {"decoded utf8", B64, DEC, false, "w6l0w6k=", "\xC3\xA9t\xC3\xA9"},

    {"lines: a and b", B64, ENC, true, "a\nb", "YQ==\nYg=="},
    {"lines: leading empty line leaves nothing", B64, ENC, true, "\na", "YQ=="},
    {"lines: inner empty line kept", B64, ENC, true, "a\n\nb", "YQ==\n\nYg=="},
    {"lines: trailing empty line kept", B64, ENC, true, "a\n", "YQ==\n"},
    {"lines: empty input", B64, ENC, true, "", ""},
    {"lines: only line feeds", B64, ENC, true, "\n\n", ""},
    {"lines: decode with trailing line feed", B64, DEC, true, "YWJj\n", "abc\n"},
    {"lines: one bad line", B64, DEC, true, "YWJj\n!!\nYQ==", "abc\n" + bad + "\na"},
    {"lines: bad first line still counts as written", B64, DEC, true, "!!\n\nYQ==", bad + "\n\na"},
    {"lines: carriage return stays in the line", B64, DEC, true, "YWJj\r\nYQ==", bad + "\na"},

    // Percent coding
    {"space and ampersand", URL, ENC, false, "a b&c", "a%20b&c"},
    {"query characters stay", URL, ENC, false, "-._~!$&'()*+,;=:@/?", "-._~!$&'()*+,;=:@/?"},
    {"letters and digits stay", URL, ENC, false, "AZaz09", "AZaz09"},
    {"reserved outside query", URL, ENC, false, "#[]%\"<>\\^`{|}", "%23%5B%5D%25%22%3C%3E%5C%5E%60%7B%7C%7D"},
    {"utf8 upper-case hex", URL, ENC, false, "\xC3\xA9\xE2\x82\xAC", "%C3%A9%E2%82%AC"},
    {"control characters", URL, ENC, false, std::string("\t\n\0", 3), "%09%0A%00"},
    {"invalid utf8 gives nothing", URL, ENC, false, "a\xFF", ""},
    {"empty", URL, ENC, false, "", ""},

    {"decode space", URL, DEC, false, "a%20b", "a b"},
    {"plus stays", URL, DEC, false, "a+b", "a+b"},
    {"lower-case hex", URL, DEC, false, "%c3%a9", "\xC3\xA9"},
    {"lone percent fails", URL, DEC, false, "100%", bad},
    {"one digit fails", URL, DEC, false, "%4", bad},
    {"non-hex fails", URL, DEC, false, "%zz", bad},
    {"not utf8 fails", URL, DEC, false, "%FF", bad},
    {"encoded percent", URL, DEC, false, "100%25", "100%"},

    {"lines: encode each", URL, ENC, true, "a b\nc d", "a%20b\nc%20d"},
    {"lines: one bad line", URL, DEC, true, "%41\n%\n%42", "A\n" + bad + "\nB"},
    {"lines: leading empty lines vanish", URL, DEC, true, "\n\n%41\n", "A\n"},
};

TEST(EncodeDecode, Table) {
    for (const Case& c : cases)
        EXPECT_EQ(run(c.type, c.direction, c.separatedLines, c.input), c.expected) << c.name;
}

TEST(EncodeDecode, Base64AgreesWithTheDefinitionAndRoundTrips) {
    std::mt19937 rng(3);
    std::string bytes(20000, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(rng());
    for (size_t length = 0; length < 400; ++length) {
        const std::string_view piece = std::string_view(bytes).substr(0, length);
        const std::string encoded = text::base64EncodeStd(piece);
        ASSERT_EQ(encoded, referenceBase64(piece)) << length;
        ASSERT_EQ(text::base64DecodeStrict(encoded), std::string(piece)) << length;
    }
    for (size_t length : {6143, 6144, 6145, 6147, 12288 + 28, 20000})
        ASSERT_EQ(text::base64EncodeStd(std::string_view(bytes).substr(0, length)),
                  referenceBase64(std::string_view(bytes).substr(0, length)))
            << length;
    // Every 6-bit value in every position of a vector step.
    std::string ramp;
    for (int round = 0; round < 4; ++round)
        for (int v = 0; v < 64; ++v) {
            const int at = v + round * 16;
            ramp += static_cast<char>(((at & 63) << 2) | (v >> 4));
            ramp += static_cast<char>(((v & 15) << 4) | ((at >> 2) & 15));
            ramp += static_cast<char>(((v & 3) << 6) | (at & 63));
        }
    EXPECT_EQ(text::base64EncodeStd(ramp), referenceBase64(ramp));
}

TEST(EncodeDecode, MegabyteInputsRoundTrip) {
    // Large enough for the huge-page buffers; odd sizes leave padding at the end.
    std::mt19937 rng(11);
    std::string bytes(6 * 1024 * 1024 + 1, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(rng());
    const std::string encoded = text::base64EncodeStd(bytes);
    EXPECT_EQ(encoded.substr(encoded.size() - 2), "==");
    EXPECT_EQ(text::base64DecodeStrict(encoded), bytes);

    const std::string prose = lexorra::testing::repeat("Gr\u00FC\u00DFe & 100% sure? ", 250'000); // over 5 MiB
    const std::string percent = text::percentEncodeQuery(prose);
    EXPECT_EQ(percent.substr(0, 28), "Gr%C3%BC%C3%9Fe%20&%20100%25");
    EXPECT_EQ(text::percentDecodeStrict(percent), prose);
}

TEST(EncodeDecode, EveryInvalidCharacterFailsInEveryPosition) {
    // 64 characters: two steps of the vector decoder, so every lane of a step is tried.
    const std::string valid = text::base64EncodeStd("Forty-eight bytes of text, in two steps of 24...");
    ASSERT_EQ(valid.size(), 64u);
    ASSERT_TRUE(text::base64DecodeStrict(valid).has_value());
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const bool inAlphabet = std::isalnum(c) || ch == '+' || ch == '/';
        if (inAlphabet) continue;
        // "=" is only allowed as the padding of the last group.
        const size_t positions = ch == '=' ? valid.size() - 1 : valid.size();
        for (size_t at = 0; at < positions; ++at) {
            std::string text = valid;
            text[at] = ch;
            EXPECT_FALSE(text::base64DecodeStrict(text).has_value()) << c << " at " << at;
        }
    }
}

} // namespace
