#include "text/Base64Strict.h"

#include "text/LargeBuffer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// Encodes whole groups of three bytes; returns how many input bytes were consumed.
size_t encodeGroupsScalar(const unsigned char* in, size_t n, char* o) {
    size_t i = 0;
    for (; i + 3 <= n; i += 3, o += 4) {
        const std::uint32_t v = (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
        std::memcpy(o, pairTable.pairs[v >> 12].data(), 2);
        std::memcpy(o + 2, pairTable.pairs[v & 0xFFF].data(), 2);
    }
    return i;
}

#if defined(__x86_64__)
// 24 input bytes to 32 characters per step (Mula and Lemire's method): each 128-bit lane
// takes 12 bytes, spreads every 3-byte group over 4 bytes, moves the four 6-bit fields
// into place with two multiplies (a multiply by a power of two is a shift per 16-bit
// half), and turns values into characters by adding the offset
// of their range of the alphabet. Reads 28 bytes per step, so it stops 28 bytes short.
__attribute__((target("avx2"))) size_t encodeGroupsAvx2(const unsigned char* in, size_t n, char* o) {
    const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, //
                                            1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
    // Offsets from a 6-bit value to its character, indexed by range: A-Z, a-z, ten
    // entries for 0-9, then "+" and "/".
    const __m256i offsets = _mm256_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0, //
                                             65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
    size_t i = 0;
    for (; i + 28 <= n; i += 24, o += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 12));
        const __m256i bytes =
            _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1), spread);
        const __m256i first =
            _mm256_mulhi_epu16(_mm256_and_si256(bytes, _mm256_set1_epi32(0x0FC0FC00)), _mm256_set1_epi32(0x04000040));
        const __m256i second =
            _mm256_mullo_epi16(_mm256_and_si256(bytes, _mm256_set1_epi32(0x003F03F0)), _mm256_set1_epi32(0x01000010));
        const __m256i values = _mm256_or_si256(first, second);
        // Range index: 0 for A-Z, 1 for a-z, 2-11 for digits, 12 and 13 for "+" and "/".
        __m256i range = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
        range = _mm256_sub_epi8(range, _mm256_cmpgt_epi8(values, _mm256_set1_epi8(25)));
        const __m256i chars = _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, range));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), chars);
    }
    return i + encodeGroupsScalar(in + i, n - i, o);
}

// Asked on first use rather than at every start of the program.
bool hasAvx2() {
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return supported;
}
#endif

size_t encodeGroups(const unsigned char* in, size_t n, char* o) {
#if defined(__x86_64__)
    if (hasAvx2()) return encodeGroupsAvx2(in, n, o);
#endif
    return encodeGroupsScalar(in, n, o);
}

// Decodes whole groups of four characters; false when any is not in the alphabet.
bool decodeGroupsScalar(const char* in, size_t groups, unsigned char* o) {
    std::uint32_t bad = 0;
    for (size_t g = 0; g < groups; ++g, in += 4, o += 3) {
        const std::uint32_t v = lookup(0, in[0]) | lookup(1, in[1]) | lookup(2, in[2]) | lookup(3, in[3]);
        bad |= v;
        o[0] = static_cast<unsigned char>(v >> 16);
        o[1] = static_cast<unsigned char>(v >> 8);
        o[2] = static_cast<unsigned char>(v);
    }
    return !(bad & invalid);
}

#if defined(__x86_64__)
// 32 characters to 24 bytes per step (the same authors' decoder). Two table lookups on
// each character's nibbles flag anything outside the alphabet; a third, on the high
// nibble (with "/" told apart from "+"), gives the offset from character to 6-bit value;
// two multiply-adds pack four values into three bytes. Stores 32 bytes per step.
// Returns how many groups it decoded: it stops before a step that holds a character
// outside the alphabet and leaves the report to the scalar loop.
__attribute__((target("avx2"))) size_t decodeGroupsAvx2(const char* in, size_t groups, unsigned char* o) {
    const __m256i lowTable = _mm256_setr_epi8(
        0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A, //
        0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
    const __m256i highTable = _mm256_setr_epi8(
        0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, //
        0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
    const __m256i offsets = _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, //
                                             0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i pack = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, //
                                          2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i slash = _mm256_set1_epi8(0x2F);
    size_t g = 0;
    for (; g + 8 <= groups; g += 8, in += 32, o += 24) {
        const __m256i chars = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        // Only the low four bits (and the top one, clear here) of a shuffle index count.
        const __m256i high = _mm256_and_si256(_mm256_srli_epi32(chars, 4), slash);
        const __m256i low = _mm256_and_si256(chars, slash);
        if (!_mm256_testz_si256(_mm256_shuffle_epi8(lowTable, low), _mm256_shuffle_epi8(highTable, high))) break;
        const __m256i offset = _mm256_shuffle_epi8(offsets, _mm256_add_epi8(_mm256_cmpeq_epi8(chars, slash), high));
        const __m256i values = _mm256_add_epi8(chars, offset);
        const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
        const __m256i triples = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
        const __m256i bytes =
            _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(triples, pack), _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), bytes);
    }
    return g;
}
#endif

bool decodeGroups(const char* in, size_t groups, unsigned char* o) {
    size_t done = 0;
#if defined(__x86_64__)
    if (hasAvx2()) done = decodeGroupsAvx2(in, groups, o);
#endif
    return decodeGroupsScalar(in + done * 4, groups - done, o + done * 3);
}

} // namespace

std::string base64EncodeStd(std::string_view bytes) {
    const size_t n = bytes.size();
    std::string out;
    reserveLarge(out, (n + 2) / 3 * 4);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    // Encoded a block at a time into a small buffer and appended, which writes the result
    // once instead of clearing it first and then writing it.
    constexpr size_t blockBytes = 3 * 2048;
    char block[blockBytes / 3 * 4];
    size_t i = 0;
    while (n - i >= 3) {
        const size_t take = std::min(blockBytes, (n - i) / 3 * 3);
        encodeGroups(in + i, take, block);
        out.append(block, take / 3 * 4);
        i += take;
    }
    if (const size_t rest = n - i; rest > 0) {
        std::uint32_t v = std::uint32_t{in[i]} << 16;
        if (rest == 2) v |= std::uint32_t{in[i + 1]} << 8;
        const char last[4] = {alphabet[(v >> 18) & 63], alphabet[(v >> 12) & 63],
                              rest == 2 ? alphabet[(v >> 6) & 63] : '=', '='};
        out.append(last, 4);
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
    const char* in = text.data();
    // A block at a time, as the encoder does; the vector step stores 8 bytes past its output.
    constexpr size_t blockGroups = 2048;
    unsigned char block[blockGroups * 3 + 8];
    const size_t fullGroups = n / 4 - (padding ? 1 : 0);
    for (size_t g = 0; g < fullGroups;) {
        const size_t take = std::min(blockGroups, fullGroups - g);
        if (!decodeGroups(in, take, block)) return std::nullopt;
        out.append(reinterpret_cast<const char*>(block), take * 3);
        in += take * 4;
        g += take;
    }
    if (padding) {
        // The last group: "xx==" or "xxx="; "=" anywhere else failed above.
        std::uint32_t v = lookup(0, in[0]) | lookup(1, in[1]);
        if (padding == 1) v |= lookup(2, in[2]);
        if (v & invalid) return std::nullopt;
        out.push_back(static_cast<char>(v >> 16));
        if (padding == 1) out.push_back(static_cast<char>(v >> 8));
    }
    return out;
}

} // namespace lexorra::text
