// Messages handed to the decryptor: whole, and fed in pieces.
#include "actions/chars/rncryptor/RNCryptor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

using namespace lexorra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    std::size_t passwordLength = std::min<std::size_t>(data[0] % 8, size - 2);
    std::size_t piece = data[1] % 64 + 1;
    std::string password(reinterpret_cast<const char*>(data) + 2, passwordLength);
    RNCryptor::ByteView message(data + 2 + passwordLength, size - 2 - passwordLength);
    try {
        (void)RNCryptor::Decryptor(password).decrypt(message);
    } catch (const std::exception&) {
    }
    try {
        RNCryptor::Decryptor decryptor(password);
        for (std::size_t at = 0; at < message.size(); at += piece)
            (void)decryptor.update(message.subspan(at, std::min(piece, message.size() - at)));
        (void)decryptor.finalData();
    } catch (const std::exception&) {
    }
    return 0;
}
