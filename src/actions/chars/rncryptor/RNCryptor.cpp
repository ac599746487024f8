#include "actions/chars/rncryptor/RNCryptor.h"

#include <future>

namespace lexorra::RNCryptor {

namespace {

void append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

Bytes passwordHeader(ByteView encryptionSalt, ByteView hmacSalt, ByteView iv) {
    Bytes header{FormatV3::version, FormatV3::passwordOptions};
    header.insert(header.end(), encryptionSalt.begin(), encryptionSalt.end());
    header.insert(header.end(), hmacSalt.begin(), hmacSalt.end());
    header.insert(header.end(), iv.begin(), iv.end());
    return header;
}

// From this size on, a text's MAC is computed on a second core while the cipher works.
constexpr std::size_t overlapSlice = std::size_t{1} << 20;

void requireSize(ByteView bytes, std::size_t size, const char* what) {
    if (bytes.size() != size) throw CipherFailure(std::string(what) + " has the wrong size");
}

} // namespace

Bytes FormatV3::makeKey(std::string_view password, ByteView salt) {
    return deriveKey(password, salt, keyDerivationIterations, keySize);
}

Keys Keys::derive(std::string_view password, ByteView encryptionSalt, ByteView hmacSalt) {
    auto hmacKey = std::async(std::launch::async, [&] { return FormatV3::makeKey(password, hmacSalt); });
    Bytes encryptionKey = FormatV3::makeKey(password, encryptionSalt);
    return {std::move(encryptionKey), hmacKey.get()};
}

// ---- EncryptorV3

EncryptorV3::EncryptorV3(std::string_view password)
    : EncryptorV3(password, randomBytes(FormatV3::saltSize), randomBytes(FormatV3::saltSize),
                  randomBytes(FormatV3::ivSize)) {}

EncryptorV3::EncryptorV3(std::string_view password, ByteView encryptionSalt, ByteView hmacSalt, ByteView iv)
    : EncryptorV3(Keys::derive(password, encryptionSalt, hmacSalt), passwordHeader(encryptionSalt, hmacSalt, iv),
                  iv) {
    requireSize(encryptionSalt, FormatV3::saltSize, "the encryption salt");
    requireSize(hmacSalt, FormatV3::saltSize, "the HMAC salt");
}

EncryptorV3::EncryptorV3(const Keys& keys, ByteView iv) {
    const Bytes vector = iv.empty() ? randomBytes(FormatV3::ivSize) : Bytes(iv.begin(), iv.end());
    Bytes header{FormatV3::version, FormatV3::keyOptions};
    append(header, vector);
    *this = EncryptorV3(keys.encryptionKey, keys.hmacKey, std::move(header), vector);
}

EncryptorV3::EncryptorV3(const Keys& keys, Bytes header, ByteView iv)
    : EncryptorV3(keys.encryptionKey, keys.hmacKey, std::move(header), iv) {}

EncryptorV3::EncryptorV3(ByteView encryptionKey, ByteView hmacKey, Bytes header, ByteView iv)
    : engine(std::make_unique<Engine>(Engine::Operation::encrypt, encryptionKey, iv)),
      hmac(std::make_unique<HMACV3>(hmacKey)) {
    requireSize(hmacKey, FormatV3::keySize, "the HMAC key");
    hmac->update(header);
    pendingHeader = std::move(header);
}

Bytes EncryptorV3::update(ByteView data) {
    Bytes out;
    update(data, out);
    return out;
}

Bytes EncryptorV3::finalData() {
    Bytes out;
    finalData(out);
    return out;
}

void EncryptorV3::update(ByteView data, Bytes& out) {
    if (pendingHeader) {
        append(out, *pendingHeader);
        pendingHeader.reset();
    }
    if (data.size() < 2 * overlapSlice) {
        const std::size_t start = out.size();
        engine->update(data, out);
        hmac->update(ByteView(out).subspan(start));
        return;
    }
    // A slice is authenticated on a second core while the next one is encrypted. The MAC
    // reads `out` through a view, so `out` must not move meanwhile: room for the whole
    // ciphertext is made first (CBC adds at most a block).
    out.reserve(out.size() + data.size() + 16);
    std::future<void> authenticated;
    for (std::size_t at = 0; at < data.size(); at += overlapSlice) {
        const std::size_t start = out.size();
        engine->update(data.subspan(at, std::min(overlapSlice, data.size() - at)), out);
        if (authenticated.valid()) authenticated.get();
        authenticated = std::async(std::launch::async, [this, slice = ByteView(out.data() + start, out.size() - start)] {
            hmac->update(slice);
        });
    }
    authenticated.get();
}

void EncryptorV3::finalData(Bytes& out) {
    update({}, out);
    const std::size_t start = out.size();
    engine->finalData(out);
    hmac->update(ByteView(out).subspan(start));
    append(out, hmac->finalData());
}

// ---- DecryptorEngineV3

DecryptorEngineV3::DecryptorEngineV3(const Keys& keys, ByteView iv, ByteView header)
    : hmac(keys.hmacKey), engine(Engine::Operation::decrypt, keys.encryptionKey, iv) {
    hmac.update(header);
}

void DecryptorEngineV3::update(ByteView data, Bytes& out) {
    const Bytes ciphertext = buffer.update(data);
    if (ciphertext.size() < 2 * overlapSlice) {
        hmac.update(ciphertext);
        engine.update(ciphertext, out);
        return;
    }
    // Both only read the ciphertext: the MAC runs on a second core beside the cipher.
    auto authenticated = std::async(std::launch::async, [&] { hmac.update(ciphertext); });
    engine.update(ciphertext, out);
    authenticated.get();
}

void DecryptorEngineV3::finalData(Bytes& out) {
    const Bytes computed = hmac.finalData();
    const Bytes expected = buffer.finalData();
    // The padding is checked only after the message proved authentic, so a forged message
    // cannot learn anything from how its padding fails.
    if (expected.size() != FormatV3::hmacSize || !constantTimeEqual(computed, expected))
        throw Failure(Error::hmacMismatch);
    engine.finalData(out);
}

// ---- DecryptorV3

std::size_t DecryptorV3::requiredHeaderSize() const {
    return std::holds_alternative<std::string>(credential) ? FormatV3::passwordHeaderSize : FormatV3::keyHeaderSize;
}

void DecryptorV3::startEngine() {
    const ByteView header(buffer.data(), requiredHeaderSize());
    if (const auto* password = std::get_if<std::string>(&credential)) {
        if (header[1] != FormatV3::passwordOptions) throw Failure(Error::invalidCredentialType);
        const ByteView encryptionSalt = header.subspan(2, FormatV3::saltSize);
        const ByteView hmacSalt = header.subspan(2 + FormatV3::saltSize, FormatV3::saltSize);
        const ByteView iv = header.subspan(2 + 2 * FormatV3::saltSize, FormatV3::ivSize);
        const Keys keys = Keys::derive(*password, encryptionSalt, hmacSalt);
        decryptorEngine = std::make_unique<DecryptorEngineV3>(keys, iv, header);
    } else {
        if (header[1] != FormatV3::keyOptions) throw Failure(Error::invalidCredentialType);
        const Keys& keys = std::get<Keys>(credential);
        if (keys.encryptionKey.size() != FormatV3::keySize || keys.hmacKey.size() != FormatV3::keySize)
            throw Failure(Error::invalidCredentialType);
        decryptorEngine = std::make_unique<DecryptorEngineV3>(keys, header.subspan(2, FormatV3::ivSize), header);
    }
}

Bytes DecryptorV3::update(ByteView data) {
    Bytes out;
    update(data, out);
    return out;
}

Bytes DecryptorV3::finalData() {
    Bytes out;
    finalData(out);
    return out;
}

void DecryptorV3::update(ByteView data, Bytes& out) {
    if (decryptorEngine) return decryptorEngine->update(data, out);
    const std::size_t needed = requiredHeaderSize();
    const std::size_t take = std::min(needed - buffer.size(), data.size());
    buffer.insert(buffer.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
    if (buffer.size() < needed) return;
    startEngine();
    buffer.clear();
    decryptorEngine->update(data.subspan(take), out);
}

void DecryptorV3::finalData(Bytes& out) {
    if (!decryptorEngine) throw Failure(Error::messageTooShort);
    decryptorEngine->finalData(out);
}

// ---- Encryptor and Decryptor

Bytes Encryptor::encrypt(ByteView data) {
    Bytes out;
    out.reserve(FormatV3::passwordHeaderSize + data.size() + 16 + FormatV3::hmacSize);
    update(data, out);
    finalData(out);
    return out;
}

Bytes Decryptor::update(ByteView data) {
    Bytes out;
    update(data, out);
    return out;
}

Bytes Decryptor::finalData() {
    Bytes out;
    finalData(out);
    return out;
}

void Decryptor::update(ByteView data, Bytes& out) {
    if (decryptor) return decryptor->update(data, out);
    // Bytes wait in `buffer` only while no decryptor kind can tell; the current one needs a
    // single byte, so large messages are handed on without a copy.
    ByteView pending = data;
    if (!buffer.empty()) {
        buffer.insert(buffer.end(), data.begin(), data.end());
        pending = buffer;
    }
    if (pending.empty()) return;
    for (Kind kind : decryptors) {
        if (kind == Kind::v3 && DecryptorV3::canDecrypt(pending)) decryptor = std::make_unique<DecryptorV3>(password);
    }
    if (!decryptor) throw Failure(Error::unknownHeader);
    decryptor->update(pending, out);
    buffer.clear();
}

void Decryptor::finalData(Bytes& out) {
    if (!decryptor) throw Failure(Error::messageTooShort);
    decryptor->finalData(out);
}

Bytes Decryptor::decrypt(ByteView message) {
    Bytes out;
    out.reserve(message.size());
    update(message, out);
    finalData(out);
    return out;
}

} // namespace lexorra::RNCryptor
