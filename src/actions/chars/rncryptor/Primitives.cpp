#include "actions/chars/rncryptor/Primitives.h"

#include "core/SharedLibrary.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string.h> // explicit_bzero
#include <string>

namespace lexorra::RNCryptor {

namespace {

[[noreturn]] void securityFailure(const std::string& message) {
    std::fputs(message.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::abort();
}

// The cipher library is opened on first use: its algorithm tables alone take longer to
// set up than a whole quick command-line run, and only encryption needs them.
struct Crypto {
    int (*randBytes)(unsigned char*, int);
    unsigned long (*errGetError)();
    int (*sha1Init)(SHA_CTX*);
    int (*sha1Update)(SHA_CTX*, const void*, size_t);
    int (*sha1Final)(unsigned char*, SHA_CTX*);
    void (*sha1Transform)(SHA_CTX*, const unsigned char*);
    int (*memcmp)(const void*, const void*, size_t);
    EVP_CIPHER_CTX* (*cipherNew)();
    void (*cipherFree)(EVP_CIPHER_CTX*);
    const EVP_CIPHER* (*aes256Cbc)();
    int (*cipherInit)(EVP_CIPHER_CTX*, const EVP_CIPHER*, ENGINE*, const unsigned char*, const unsigned char*, int);
    int (*cipherSetPadding)(EVP_CIPHER_CTX*, int);
    int (*cipherUpdate)(EVP_CIPHER_CTX*, unsigned char*, int*, const unsigned char*, int);
    int (*cipherFinal)(EVP_CIPHER_CTX*, unsigned char*, int*);
    EVP_MAC* (*macFetch)(OSSL_LIB_CTX*, const char*, const char*);
    void (*macFree)(EVP_MAC*);
    EVP_MAC_CTX* (*macNew)(EVP_MAC*);
    void (*macContextFree)(EVP_MAC_CTX*);
    int (*macInit)(EVP_MAC_CTX*, const unsigned char*, size_t, const OSSL_PARAM*);
    int (*macUpdate)(EVP_MAC_CTX*, const unsigned char*, size_t);
    int (*macFinal)(EVP_MAC_CTX*, unsigned char*, size_t*, size_t);
    OSSL_PARAM (*paramString)(const char*, char*, size_t);
    OSSL_PARAM (*paramEnd)();
};

// The library's functions; a missing library fails the operation like any cipher error.
const Crypto& crypto() {
    const Crypto* loaded = loadFunctions<Crypto>("libcrypto.so.3", [](const SharedLibrary& library, Crypto& c) {
        return library.resolve("RAND_bytes", c.randBytes) && library.resolve("ERR_get_error", c.errGetError) &&
               library.resolve("SHA1_Init", c.sha1Init) && library.resolve("SHA1_Update", c.sha1Update) &&
               library.resolve("SHA1_Final", c.sha1Final) && library.resolve("SHA1_Transform", c.sha1Transform) &&
               library.resolve("CRYPTO_memcmp", c.memcmp) && library.resolve("EVP_CIPHER_CTX_new", c.cipherNew) &&
               library.resolve("EVP_CIPHER_CTX_free", c.cipherFree) &&
               library.resolve("EVP_aes_256_cbc", c.aes256Cbc) && library.resolve("EVP_CipherInit_ex", c.cipherInit) &&
               library.resolve("EVP_CIPHER_CTX_set_padding", c.cipherSetPadding) &&
               library.resolve("EVP_CipherUpdate", c.cipherUpdate) &&
               library.resolve("EVP_CipherFinal_ex", c.cipherFinal) && library.resolve("EVP_MAC_fetch", c.macFetch) &&
               library.resolve("EVP_MAC_free", c.macFree) && library.resolve("EVP_MAC_CTX_new", c.macNew) &&
               library.resolve("EVP_MAC_CTX_free", c.macContextFree) && library.resolve("EVP_MAC_init", c.macInit) &&
               library.resolve("EVP_MAC_update", c.macUpdate) && library.resolve("EVP_MAC_final", c.macFinal) &&
               library.resolve("OSSL_PARAM_construct_utf8_string", c.paramString) &&
               library.resolve("OSSL_PARAM_construct_end", c.paramEnd);
    });
    if (!loaded) throw CipherFailure("the cipher library (libcrypto.so.3) could not be loaded");
    return *loaded;
}

// The most specific status the library left for the failed call, or the call's own result.
unsigned long statusCode(int result) {
    const unsigned long queued = crypto().errGetError();
    return queued != 0 ? queued : static_cast<unsigned long>(result);
}

int checkedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX - 64)) throw Failure(Error::memoryFailure);
    return static_cast<int>(size);
}

} // namespace

std::string_view errorName(Error error) {
    switch (error) {
    case Error::hmacMismatch:
        return "hmacMismatch";
    case Error::unknownHeader:
        return "unknownHeader";
    case Error::messageTooShort:
        return "messageTooShort";
    case Error::memoryFailure:
        return "memoryFailure";
    case Error::invalidCredentialType:
        return "invalidCredentialType";
    }
    return "unknown";
}

Failure::Failure(Error e) : std::runtime_error(std::string(errorName(e))), error(e) {}

Bytes randomBytes(std::size_t count) {
    Bytes out(count);
    const int result = crypto().randBytes(out.data(), checkedLength(count));
    if (result != 1)
        securityFailure("SECURITY FAILURE: Could not generate secure random numbers: " +
                        std::to_string(statusCode(result)));
    return out;
}

namespace {

constexpr std::size_t sha1Size = SHA_DIGEST_LENGTH;
constexpr std::size_t sha1Block = SHA_CBLOCK;

// The state of SHA-1 after one block: the HMAC key padded and masked with `mask`.
SHA_CTX keyedState(ByteView key, std::uint8_t mask) {
    std::array<std::uint8_t, sha1Block> block{};
    std::copy(key.begin(), key.end(), block.begin());
    for (auto& byte : block) byte ^= mask;
    SHA_CTX state;
    crypto().sha1Init(&state);
    crypto().sha1Update(&state, block.data(), block.size());
    explicit_bzero(block.data(), block.size());
    return state;
}

// A block whose first 20 bytes take a digest and whose rest is the padding of a message of one
// block and a digest, as both halves of an HMAC over a digest end.
std::array<std::uint8_t, sha1Block> digestBlock() {
    std::array<std::uint8_t, sha1Block> block{};
    block[sha1Size] = 0x80;
    constexpr std::uint64_t bits = (sha1Block + sha1Size) * 8;
    for (int i = 0; i < 8; ++i) block[sha1Block - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return block;
}

// One compression from `state` over `block`, its result written into the block's first 20 bytes.
void compressInto(const SHA_CTX& state, std::array<std::uint8_t, sha1Block>& from,
                  std::array<std::uint8_t, sha1Block>& to) {
    SHA_CTX copy = state;
    crypto().sha1Transform(&copy, from.data());
    const SHA_LONG words[] = {copy.h0, copy.h1, copy.h2, copy.h3, copy.h4};
    explicit_bzero(&copy, sizeof copy);
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t b = 0; b < 4; ++b) to[i * 4 + b] = static_cast<std::uint8_t>(words[i] >> (24 - 8 * b));
}

} // namespace

// PBKDF2 as RFC 8018 puts it, with HMAC-SHA1 kept at the level of the compression function: the
// two keyed states are worked out once, and every iteration after the first is then exactly two
// compressions of a prepared block. Through the library's generic interface each iteration also
// copied and freed two digest contexts, which made the derivation several times slower.
Bytes deriveKey(std::string_view password, ByteView salt, unsigned iterations, std::size_t keySize) {
    if (iterations == 0) securityFailure("SECURITY FAILURE: Could not derive secure password (no iterations)");
    ByteView key = asBytes(password);
    std::array<std::uint8_t, sha1Size> hashedKey{};
    if (key.size() > sha1Block) {
        // A key longer than a block is replaced by its digest.
        SHA_CTX state;
        crypto().sha1Init(&state);
        crypto().sha1Update(&state, key.data(), key.size());
        crypto().sha1Final(hashedKey.data(), &state);
        key = hashedKey;
    }
    SHA_CTX inner = keyedState(key, 0x36);
    SHA_CTX outer = keyedState(key, 0x5c);
    Bytes derived;
    derived.reserve(keySize + sha1Size);
    auto innerBlock = digestBlock();
    auto outerBlock = digestBlock();
    for (std::uint32_t index = 1; derived.size() < keySize; ++index) {
        // U1 = HMAC(password, salt || index), through the ordinary update and final.
        const std::uint8_t indexBytes[] = {static_cast<std::uint8_t>(index >> 24),
                                           static_cast<std::uint8_t>(index >> 16),
                                           static_cast<std::uint8_t>(index >> 8), static_cast<std::uint8_t>(index)};
        SHA_CTX state = inner;
        crypto().sha1Update(&state, salt.data(), salt.size());
        crypto().sha1Update(&state, indexBytes, sizeof indexBytes);
        crypto().sha1Final(outerBlock.data(), &state);
        state = outer;
        crypto().sha1Update(&state, outerBlock.data(), sha1Size);
        crypto().sha1Final(innerBlock.data(), &state);
        std::array<std::uint8_t, sha1Size> sum;
        std::copy_n(innerBlock.begin(), sha1Size, sum.begin());
        // U(j) = HMAC(password, U(j-1)); the block sums them all.
        for (unsigned j = 1; j < iterations; ++j) {
            compressInto(inner, innerBlock, outerBlock);
            compressInto(outer, outerBlock, innerBlock);
            for (std::size_t b = 0; b < sha1Size; ++b) sum[b] ^= innerBlock[b];
        }
        derived.insert(derived.end(), sum.begin(), sum.end());
        explicit_bzero(&state, sizeof state);
        explicit_bzero(sum.data(), sum.size());
    }
    // Nothing derived from the password stays behind on the stack but the key itself.
    explicit_bzero(derived.data() + keySize, derived.size() - keySize);
    derived.resize(keySize);
    explicit_bzero(hashedKey.data(), hashedKey.size());
    explicit_bzero(&inner, sizeof inner);
    explicit_bzero(&outer, sizeof outer);
    explicit_bzero(innerBlock.data(), innerBlock.size());
    explicit_bzero(outerBlock.data(), outerBlock.size());
    return derived;
}

bool constantTimeEqual(ByteView a, ByteView b) {
    if (a.size() != b.size()) return false;
    return crypto().memcmp(a.data(), b.data(), a.size()) == 0;
}

// ---- Engine

Engine::Engine(Operation operation, ByteView key, ByteView iv) : cryptor(crypto().cipherNew()) {
    if (!cryptor) throw Failure(Error::memoryFailure);
    if (key.size() != 32 || iv.size() != 16) {
        crypto().cipherFree(cryptor);
        throw CipherFailure("AES-256-CBC needs a 32-byte key and a 16-byte vector");
    }
    const int encrypt = operation == Operation::encrypt ? 1 : 0;
    if (crypto().cipherInit(cryptor, crypto().aes256Cbc(), nullptr, key.data(), iv.data(), encrypt) != 1) {
        crypto().cipherFree(cryptor);
        throw CipherFailure("the cipher could not be initialised");
    }
    crypto().cipherSetPadding(cryptor, 1);
}

Engine::~Engine() {
    crypto().cipherFree(cryptor);
}

Bytes Engine::update(ByteView data) {
    buffer.clear();
    update(data, buffer);
    return buffer;
}

Bytes Engine::finalData() {
    buffer.clear();
    finalData(buffer);
    return buffer;
}

void Engine::update(ByteView data, Bytes& out) {
    if (data.empty()) return;
    const std::size_t start = out.size();
    // One block more than the input: CBC may release a block held back from the last call.
    out.resize(start + data.size() + 16);
    int written = 0;
    const bool ok =
        crypto().cipherUpdate(cryptor, out.data() + start, &written, data.data(), checkedLength(data.size())) == 1;
    out.resize(start + (ok ? static_cast<std::size_t>(written) : 0));
    if (!ok) throw CipherFailure("the cipher rejected the data");
}

void Engine::finalData(Bytes& out) {
    const std::size_t start = out.size();
    out.resize(start + 32);
    int written = 0;
    const bool ok = crypto().cipherFinal(cryptor, out.data() + start, &written) == 1;
    out.resize(start + (ok ? static_cast<std::size_t>(written) : 0));
    if (!ok) throw CipherFailure("the padding of the decrypted data is not valid");
}

// ---- HMACV3

HMACV3::HMACV3(ByteView key) : context(nullptr) {
    EVP_MAC* mac = crypto().macFetch(nullptr, "HMAC", nullptr);
    if (!mac) throw Failure(Error::memoryFailure);
    context = crypto().macNew(mac);
    crypto().macFree(mac); // the context keeps its own reference
    if (!context) throw Failure(Error::memoryFailure);
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {crypto().paramString(OSSL_MAC_PARAM_DIGEST, digest, 0), crypto().paramEnd()};
    if (crypto().macInit(context, key.data(), key.size(), params) != 1) {
        crypto().macContextFree(context);
        throw CipherFailure("HMAC-SHA256 could not be initialised");
    }
}

HMACV3::~HMACV3() {
    crypto().macContextFree(context);
}

void HMACV3::update(ByteView data) {
    if (data.empty()) return;
    if (crypto().macUpdate(context, data.data(), data.size()) != 1) throw CipherFailure("HMAC-SHA256 update failed");
}

Bytes HMACV3::finalData() {
    Bytes out(32);
    std::size_t written = 0;
    if (crypto().macFinal(context, out.data(), &written, out.size()) != 1) throw CipherFailure("HMAC-SHA256 failed");
    out.resize(written);
    return out;
}

// ---- OverflowingBuffer

Bytes OverflowingBuffer::update(ByteView data) {
    if (buffer.size() + data.size() <= capacity) {
        buffer.insert(buffer.end(), data.begin(), data.end());
        return {};
    }
    const std::size_t release = buffer.size() + data.size() - capacity;
    Bytes out;
    out.reserve(release);
    // Release from what is held first, then from the new data; keep the tail.
    const std::size_t fromHeld = std::min(release, buffer.size());
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(fromHeld));
    const std::size_t fromData = release - fromHeld;
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(fromData));
    Bytes kept(buffer.begin() + static_cast<std::ptrdiff_t>(fromHeld), buffer.end());
    kept.insert(kept.end(), data.begin() + static_cast<std::ptrdiff_t>(fromData), data.end());
    buffer = std::move(kept);
    return out;
}

Bytes OverflowingBuffer::finalData() {
    Bytes out = std::move(buffer);
    buffer.clear();
    return out;
}

} // namespace lexorra::RNCryptor
