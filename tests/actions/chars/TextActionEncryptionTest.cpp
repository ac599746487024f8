#include "actions/chars/TextActionEncryption.h"
#include "actions/chars/rncryptor/MessageText.h"
#include "actions/chars/rncryptor/RNCryptor.h"

#include <gtest/gtest.h>

namespace lexorra {
namespace {

using RNCryptor::Bytes;

std::shared_ptr<TextActionEncryption> makeAction(EncryptionOrDecryption direction, std::string password) {
    auto action = std::make_shared<TextActionEncryption>();
    action->encryptionOrDecryption = direction;
    action->password = std::move(password);
    return action;
}

std::string encrypt(std::string_view text, std::string password) {
    return makeAction(EncryptionOrDecryption::encryption, std::move(password))->transform(text);
}

std::string decrypt(std::string_view text, std::string password) {
    return makeAction(EncryptionOrDecryption::decryption, std::move(password))->transform(text);
}

TEST(TextActionEncryptionTransform, EmptyInputAndPassword) {
    EXPECT_EQ(encrypt("", ""), "");
    EXPECT_EQ(decrypt("", ""), "");
    EXPECT_EQ(encrypt("", "pw"), "");
    EXPECT_EQ(decrypt("", "pw"), "");
    EXPECT_EQ(encrypt("text", ""), "-- Give Password --");
    EXPECT_EQ(decrypt("AwE=", ""), "-- Give Password --");
}

TEST(TextActionEncryptionTransform, RoundTrips) {
    const std::pair<std::string, std::string> cases[] = {
        {"a", "p"},
        {"Hello, World!", "correct horse battery staple"},
        {"line one\nline two\n\n", "pw"},
        {"ünïcödé ✓ 🙂 e\u0301 中文", "pässwörd 🔑"},
        {std::string("with\0nul", 8), " "},
        {"-- Error --", "pw"},
    };
    for (const auto& [plain, password] : cases) {
        const std::string message = encrypt(plain, password);
        EXPECT_NE(message, plain);
        EXPECT_EQ(decrypt(message, password), plain) << plain;
        EXPECT_EQ(decrypt(message, password + "x"), "-- Error --") << plain;
    }
}

TEST(TextActionEncryptionTransform, OneMegabyte) {
    std::string plain;
    plain.reserve(1 << 20);
    for (std::size_t i = 0; plain.size() < (1u << 20); ++i)
        plain += "line " + std::to_string(i) + " äöü\n";
    const std::string message = encrypt(plain, "big");
    EXPECT_EQ(RNCryptor::fromMessageText(message).value().size(), 34 + (plain.size() / 16 + 1) * 16 + 32);
    EXPECT_EQ(decrypt(message, "big"), plain);
}

TEST(TextActionEncryptionTransform, TextThatIsNotStrictBase64GivesEmptyResult) {
    const std::string message = encrypt("white space", "pw");
    // The strictness rules are the Base64 decoder's own test; here, that the action answers a
    // refused text with an empty result.
    for (const auto& text : {message + "\n", " " + message, std::string("not base64 at all")})
        EXPECT_EQ(decrypt(text, "pw"), "") << text;
    EXPECT_EQ(decrypt(message, "pw"), "white space");
}

TEST(TextActionEncryptionTransform, AuthenticNonUtf8PlaintextGetsItsOwnMarker) {
    const Bytes binary{0xff, 0xfe, 0x00, 0x41, 0xc3};
    const std::string message = RNCryptor::toMessageText(RNCryptor::Encryptor("pw").encrypt(binary));
    EXPECT_EQ(decrypt(message, "pw"), "-- Decrypted data is not UTF-8 text --");
    EXPECT_EQ(decrypt(message, "other"), "-- Error --");
}

} // namespace
} // namespace lexorra
