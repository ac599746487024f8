#pragma once

#include "actions/chars/rncryptor/Primitives.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The RNCryptor data format, version 3: a self-describing authenticated message
//
//   version (0x03) | options | [encryption salt (8) | HMAC salt (8)] | IV (16) | AES-256-CBC ciphertext | HMAC-SHA256 (32)
//
// where options 0x01 means the keys come from a password (PBKDF2-HMAC-SHA1, 10000 rounds, one
// salt per key) and 0x00 that the caller holds the two keys. Texts encrypted here can be opened
// by any other implementation of the format and the other way round.
//
//   RNCryptor::Bytes message = RNCryptor::Encryptor("secret").encrypt(RNCryptor::asBytes("hello"));
//   RNCryptor::Bytes plain = RNCryptor::Decryptor("secret").decrypt(message); // throws RNCryptor::Failure
//
// Both directions can also be fed piece by piece: update() returns the output so far and
// finalData() the rest. A decryptor's output is authenticated only once finalData() returned.
namespace lexorra::RNCryptor {

struct FormatV3 {
    static constexpr std::uint8_t version = 3;
    static constexpr std::size_t keySize = 32;
    static constexpr std::size_t ivSize = 16;
    static constexpr std::size_t saltSize = 8;
    static constexpr std::size_t hmacSize = 32;
    static constexpr unsigned keyDerivationIterations = 10000;
    static constexpr std::uint8_t passwordOptions = 0x01;
    static constexpr std::uint8_t keyOptions = 0x00;
    static constexpr std::size_t passwordHeaderSize = 1 + 1 + saltSize + saltSize + ivSize; // 34
    static constexpr std::size_t keyHeaderSize = 1 + 1 + ivSize;                            // 18

    static Bytes makeKey(std::string_view password, ByteView salt);
};

struct Keys {
    Bytes encryptionKey;
    Bytes hmacKey;

    // Both keys of a password, derived side by side on two cores.
    static Keys derive(std::string_view password, ByteView encryptionSalt, ByteView hmacSalt);
};

// What opens a message: a password, or the two keys themselves.
using Credential = std::variant<std::string, Keys>;

class EncryptorV3 {
public:
    // Fresh salts and vector from the secure random source.
    explicit EncryptorV3(std::string_view password);
    // Fixed salts and vector: reproduces a known message byte for byte. Never reuse them to
    // encrypt real data; the security of the format rests on their being fresh.
    EncryptorV3(std::string_view password, ByteView encryptionSalt, ByteView hmacSalt, ByteView iv);
    // The key-based variant (options 0x00); `iv` empty draws a fresh one.
    EncryptorV3(const Keys& keys, ByteView iv = {});

    Bytes update(ByteView data);
    Bytes finalData();
    // The same, appending to `out`.
    void update(ByteView data, Bytes& out);
    void finalData(Bytes& out);

private:
    EncryptorV3(const Keys& keys, Bytes header, ByteView iv);
    EncryptorV3(ByteView encryptionKey, ByteView hmacKey, Bytes header, ByteView iv);

    std::unique_ptr<Engine> engine;
    std::unique_ptr<HMACV3> hmac;
    std::optional<Bytes> pendingHeader;
};

class DecryptorEngineV3 {
public:
    DecryptorEngineV3(const Keys& keys, ByteView iv, ByteView header);

    void update(ByteView data, Bytes& out);
    void finalData(Bytes& out);

private:
    OverflowingBuffer buffer{FormatV3::hmacSize};
    HMACV3 hmac;
    Engine engine;
};

class DecryptorV3 {
public:
    explicit DecryptorV3(Credential credential) : credential(std::move(credential)) {}

    // True when the first bytes name this format version.
    static bool canDecrypt(ByteView preamble) { return !preamble.empty() && preamble[0] == FormatV3::version; }

    Bytes update(ByteView data);
    Bytes finalData();
    void update(ByteView data, Bytes& out);
    void finalData(Bytes& out);

private:
    std::size_t requiredHeaderSize() const;
    void startEngine();

    Bytes buffer;
    std::unique_ptr<DecryptorEngineV3> decryptorEngine;
    Credential credential;
};

// Password-based encryption in the current format version.
class Encryptor {
public:
    explicit Encryptor(std::string_view password) : encryptor(password) {}
    // Fixed salts and vector, for reproducing known messages only.
    Encryptor(std::string_view password, ByteView encryptionSalt, ByteView hmacSalt, ByteView iv)
        : encryptor(password, encryptionSalt, hmacSalt, iv) {}

    Bytes update(ByteView data) { return encryptor.update(data); }
    Bytes finalData() { return encryptor.finalData(); }
    void update(ByteView data, Bytes& out) { encryptor.update(data, out); }
    void finalData(Bytes& out) { encryptor.finalData(out); }
    // The whole message for `data`; an encryptor encrypts once.
    Bytes encrypt(ByteView data);

private:
    EncryptorV3 encryptor;
};

// Password-based decryption; the format version is chosen from the message's first byte.
class Decryptor {
public:
    explicit Decryptor(std::string password) : password(std::move(password)) {}

    Bytes update(ByteView data);
    Bytes finalData();
    void update(ByteView data, Bytes& out);
    void finalData(Bytes& out);
    // The plaintext of a whole message; throws Failure (or CipherFailure) when it does not open.
    Bytes decrypt(ByteView message);

private:
    enum class Kind { v3 };
    std::vector<Kind> decryptors{Kind::v3};
    Bytes buffer;
    std::unique_ptr<DecryptorV3> decryptor;
    std::string password;
};

} // namespace lexorra::RNCryptor
