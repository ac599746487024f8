#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

struct evp_cipher_ctx_st;
struct evp_mac_ctx_st;

namespace lexorra::RNCryptor {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline ByteView asBytes(std::string_view s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

// The failures a message can produce, in their code order.
enum class Error { hmacMismatch = 0, unknownHeader = 1, messageTooShort = 2, memoryFailure = 3, invalidCredentialType = 4 };

std::string_view errorName(Error error);

// Thrown by encryptors and decryptors; the action turns it into its error marker.
class Failure : public std::runtime_error {
public:
    explicit Failure(Error e);
    const Error error;
};

// The cipher library refused an operation (for instance a padding that does not check out
// after an authenticated message was crafted with a wrong padding).
class CipherFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `count` bytes from the system's secure random source; the program stops if it fails,
// since carrying on would produce predictable salts and vectors.
Bytes randomBytes(std::size_t count);

// PBKDF2-HMAC-SHA1 over the password's bytes; stops the program if derivation fails.
Bytes deriveKey(std::string_view password, ByteView salt, unsigned iterations, std::size_t keySize);

// Equal length and equal content, compared in time independent of where they differ.
bool constantTimeEqual(ByteView a, ByteView b);

// One AES-256-CBC operation with PKCS#7 padding, fed incrementally.
class Engine {
public:
    enum class Operation { encrypt, decrypt };
    Engine(Operation operation, ByteView key, ByteView iv);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    Bytes update(ByteView data);
    Bytes finalData();
    // The same, appending to `out`: large texts are not copied once more.
    void update(ByteView data, Bytes& out);
    void finalData(Bytes& out);

private:
    evp_cipher_ctx_st* cryptor;
    Bytes buffer;
};

// HMAC-SHA256, fed incrementally.
class HMACV3 {
public:
    explicit HMACV3(ByteView key);
    ~HMACV3();
    HMACV3(const HMACV3&) = delete;
    HMACV3& operator=(const HMACV3&) = delete;

    void update(ByteView data);
    Bytes finalData();

private:
    evp_mac_ctx_st* context;
};

// Holds back the last `capacity` bytes of everything fed to it and passes on only the bytes
// before them, so that at the end it holds exactly the trailing `capacity` bytes (or fewer,
// when less was fed). Keeps a trailing authentication code out of the cipher.
class OverflowingBuffer {
public:
    explicit OverflowingBuffer(std::size_t capacity) : capacity(capacity) {}

    Bytes update(ByteView data);
    Bytes finalData();

private:
    Bytes buffer;
    std::size_t capacity;
};

} // namespace lexorra::RNCryptor
