// Messages handed to the decryptor: whole, and fed in pieces. Password-based decryption costs
// two key derivations per run, so most runs hold the two keys instead and reach the same
// header, padding and authentication code many times faster.
#include "actions/chars/rncryptor/RNCryptor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

using namespace lexorra;

namespace {

template <class Make> void decryptAll(RNCryptor::ByteView message, std::size_t piece, Make make) {
    try {
        auto whole = make();
        (void)whole.update(message);
        (void)whole.finalData();
    } catch (const std::exception&) {
    }
    try {
        auto pieces = make();
        for (std::size_t at = 0; at < message.size(); at += piece)
            (void)pieces.update(message.subspan(at, std::min(piece, message.size() - at)));
        (void)pieces.finalData();
    } catch (const std::exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool withPassword = (data[0] & 0xF0) == 0xF0;
    const std::size_t piece = data[1] % 64 + 1;
    if (withPassword) {
        std::size_t passwordLength = std::min<std::size_t>(data[0] % 8, size - 2);
        std::string password(reinterpret_cast<const char*>(data) + 2, passwordLength);
        RNCryptor::ByteView message(data + 2 + passwordLength, size - 2 - passwordLength);
        try {
            (void)RNCryptor::Decryptor(password).decrypt(message);
        } catch (const std::exception&) {
        }
        decryptAll(message, piece, [&] { return RNCryptor::Decryptor(password); });
        return 0;
    }
    // Fixed keys; the message follows the two control bytes.
    const RNCryptor::Keys keys{RNCryptor::Bytes(32, 0x11), RNCryptor::Bytes(32, 0x22)};
    RNCryptor::ByteView message(data + 2, size - 2);
    decryptAll(message, piece, [&] { return RNCryptor::DecryptorV3(keys); });
    return 0;
}
