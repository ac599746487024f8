#include "actions/chars/rncryptor/MessageText.h"

#include <array>

namespace lexorra::RNCryptor {

namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> makeDecodeTable() {
    std::array<int, 256> table{};
    for (int& entry : table) entry = -1;
    for (std::size_t i = 0; i < alphabet.size(); ++i) table[static_cast<unsigned char>(alphabet[i])] = static_cast<int>(i);
    return table;
}

constexpr std::array<int, 256> decodeTable = makeDecodeTable();

} // namespace

std::string toMessageText(ByteView message) {
    std::string out((message.size() + 2) / 3 * 4, '=');
    char* to = out.data();
    std::size_t i = 0;
    for (; i + 3 <= message.size(); i += 3) {
        const std::uint32_t n = (std::uint32_t{message[i]} << 16) | (std::uint32_t{message[i + 1]} << 8) | message[i + 2];
        *to++ = alphabet[(n >> 18) & 63];
        *to++ = alphabet[(n >> 12) & 63];
        *to++ = alphabet[(n >> 6) & 63];
        *to++ = alphabet[n & 63];
    }
    const std::size_t rest = message.size() - i;
    if (rest > 0) { // the padding "=" are already in place
        std::uint32_t n = std::uint32_t{message[i]} << 16;
        if (rest == 2) n |= std::uint32_t{message[i + 1]} << 8;
        *to++ = alphabet[(n >> 18) & 63];
        *to++ = alphabet[(n >> 12) & 63];
        if (rest == 2) *to++ = alphabet[(n >> 6) & 63];
    }
    return out;
}

std::optional<Bytes> fromMessageText(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    const std::size_t dataChars = text.size() - padding;
    std::uint32_t accumulator = 0;
    int bits = 0;
    for (std::size_t i = 0; i < dataChars; ++i) {
        const int value = decodeTable[static_cast<unsigned char>(text[i])];
        if (value < 0) return std::nullopt; // also a "=" before the end
        accumulator = (accumulator << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((accumulator >> bits) & 0xFF));
        }
    }
    return out;
}

} // namespace lexorra::RNCryptor
