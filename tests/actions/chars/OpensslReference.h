#pragma once

// Builds RNCryptor version 3 messages with the openssl command line, an implementation of the
// primitives that shares no code path with ours (separate process, its own parsing of keys and
// vectors), so the bytes we produce are checked against an independent construction.

#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexorra::testing {

using ByteString = std::vector<std::uint8_t>;

inline std::string toHex(const ByteString& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

inline ByteString fromHex(const std::string& hex) {
    ByteString out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

inline ByteString bytesOf(const std::string& s) { return ByteString(s.begin(), s.end()); }

inline bool opensslAvailable() { return std::system("openssl version >/dev/null 2>&1") == 0; }

// Runs a shell command and returns its standard output; throws when it fails.
inline std::string runCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out;
    std::array<char, 4096> chunk{};
    std::size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) out.append(chunk.data(), n);
    if (pclose(pipe) != 0) throw std::runtime_error("command failed: " + command);
    return out;
}

inline std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\r')) s.pop_back();
    return s;
}

class ScratchFile {
public:
    explicit ScratchFile(const ByteString& content) {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("lexorra-crypto-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                    static_cast<std::streamsize>(content.size()));
    }
    ~ScratchFile() { std::filesystem::remove(path); }
    std::filesystem::path path;
};

inline ByteString opensslPbkdf2Sha1(const ByteString& password, const ByteString& salt) {
    const std::string out = runCommand("openssl kdf -keylen 32 -kdfopt digest:SHA1 -kdfopt hexpass:" + toHex(password) +
                                       " -kdfopt hexsalt:" + toHex(salt) + " -kdfopt iter:10000 PBKDF2");
    std::string hex;
    for (char c : out)
        if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::tolower(c));
    return fromHex(hex);
}

// `padding` false leaves the plaintext as is (its length must be a multiple of 16).
inline ByteString opensslAes256Cbc(const ByteString& key, const ByteString& iv, const ByteString& plain,
                                   bool padding = true) {
    ScratchFile in(plain);
    return bytesOf(runCommand("openssl enc -aes-256-cbc -K " + toHex(key) + " -iv " + toHex(iv) +
                              (padding ? "" : " -nopad") + " -in " + in.path.string()));
}

inline ByteString opensslHmacSha256(const ByteString& key, const ByteString& data) {
    ScratchFile in(data);
    return bytesOf(runCommand("openssl dgst -sha256 -binary -mac HMAC -macopt hexkey:" + toHex(key) + " " +
                              in.path.string()));
}

// The whole password-based message for the given salts, vector and plaintext.
inline ByteString opensslMessage(const std::string& password, const ByteString& encryptionSalt,
                                 const ByteString& hmacSalt, const ByteString& iv, const ByteString& plain,
                                 bool padding = true) {
    const ByteString encryptionKey = opensslPbkdf2Sha1(bytesOf(password), encryptionSalt);
    const ByteString hmacKey = opensslPbkdf2Sha1(bytesOf(password), hmacSalt);
    ByteString message{0x03, 0x01};
    message.insert(message.end(), encryptionSalt.begin(), encryptionSalt.end());
    message.insert(message.end(), hmacSalt.begin(), hmacSalt.end());
    message.insert(message.end(), iv.begin(), iv.end());
    const ByteString ciphertext = opensslAes256Cbc(encryptionKey, iv, plain, padding);
    message.insert(message.end(), ciphertext.begin(), ciphertext.end());
    const ByteString mac = opensslHmacSha256(hmacKey, message);
    message.insert(message.end(), mac.begin(), mac.end());
    return message;
}

} // namespace lexorra::testing
