#include "text/Base64Strict.h"

#include "text/LargeBuffer.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace lexorra::text {
namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters per 12 input bits: halves the table lookups of the plain
// 6-bit loop, which is what keeps the encoder ahead of coreutils.
struct PairTable {
    std::array<std::array<char, 2>, 4096> pairs{};
    constexpr PairTable() {
        for (int i = 0; i < 4096; ++i)
            pairs[i] = {alphabet[i >> 6], alphabet[i & 63]};
    }
};
constexpr PairTable pairTable;

// Decoding tables: each holds the 6-bit value already shifted to its place in the
// 24-bit group, so a group is four lookups OR-ed together. Invalid characters carry
// a bit above the 24 data bits, so one test per group catches any of them.
constexpr std::uint32_t invalid = 0x01000000;

struct DecodeTables {
    std::array<std::array<std::uint32_t, 256>, 4> shifted{};
    constexpr DecodeTables() {
        for (auto& table : shifted)
            table.fill(invalid);
        for (std::uint32_t v = 0; v < 64; ++v) {
            const auto c = static_cast<unsigned char>(alphabet[v]);
            shifted[0][c] = v << 18;
            shifted[1][c] = v << 12;
            shifted[2][c] = v << 6;
            shifted[3][c] = v;
        }
    }
};
constexpr DecodeTables decodeTables;

inline std::uint32_t lookup(int slot, char c) {
    return decodeTables.shifted[slot][static_cast<unsigned char>(c)];
}

} // namespace

std::string base64EncodeStd(std::string_view bytes) {
    const size_t n = bytes.size();
    std::string out;
    reserveLarge(out, (n + 2) / 3 * 4);
    out.resize((n + 2) / 3 * 4);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char* o = out.data();
    size_t i = 0;
    for (; i + 3 <= n; i += 3, o += 4) {
        const std::uint32_t v = (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
        std::memcpy(o, pairTable.pairs[v >> 12].data(), 2);
        std::memcpy(o + 2, pairTable.pairs[v & 0xFFF].data(), 2);
    }
    if (const size_t rest = n - i; rest > 0) {
        std::uint32_t v = std::uint32_t{in[i]} << 16;
        if (rest == 2) v |= std::uint32_t{in[i + 1]} << 8;
        o[0] = alphabet[(v >> 18) & 63];
        o[1] = alphabet[(v >> 12) & 63];
        o[2] = rest == 2 ? alphabet[(v >> 6) & 63] : '=';
        o[3] = '=';
    }
    return out;
}

std::optional<std::string> base64DecodeStrict(std::string_view text) {
    const size_t n = text.size();
    if (n % 4 != 0) return std::nullopt;
    if (n == 0) return std::string();
    size_t padding = 0;
    if (text[n - 1] == '=') padding = text[n - 2] == '=' ? 2 : 1;

    std::string out;
    reserveLarge(out, n / 4 * 3 - padding);
    out.resize(n / 4 * 3 - padding);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    const char* in = text.data();
    const size_t fullGroups = n / 4 - (padding ? 1 : 0);
    std::uint32_t bad = 0;
    for (size_t g = 0; g < fullGroups; ++g, in += 4, o += 3) {
        const std::uint32_t v = lookup(0, in[0]) | lookup(1, in[1]) | lookup(2, in[2]) | lookup(3, in[3]);
        bad |= v;
        o[0] = static_cast<unsigned char>(v >> 16);
        o[1] = static_cast<unsigned char>(v >> 8);
        o[2] = static_cast<unsigned char>(v);
    }
    if (bad & invalid) return std::nullopt;
    if (padding) {
        // The last group: "xx==" or "xxx="; "=" anywhere else failed above.
        std::uint32_t v = lookup(0, in[0]) | lookup(1, in[1]);
        if (padding == 1) v |= lookup(2, in[2]);
        if (v & invalid) return std::nullopt;
        o[0] = static_cast<unsigned char>(v >> 16);
        if (padding == 1) o[1] = static_cast<unsigned char>(v >> 8);
    }
    return out;
}

} // namespace lexorra::text
