#include "actions/chars/TextActionEncryption.h"
#include "actions/chars/OpensslReference.h"
#include "actions/chars/rncryptor/MessageText.h"
#include "actions/chars/rncryptor/RNCryptor.h"
#include "core/ActionFactory.h"
#include "core/Json.h"

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

Bytes decoded(const std::string& text) {
    auto bytes = RNCryptor::fromMessageText(text);
    return bytes ? *bytes : Bytes{};
}

std::string withByteChanged(const std::string& text, std::size_t at) {
    Bytes bytes = decoded(text);
    bytes.at(at) ^= 0x40;
    return RNCryptor::toMessageText(bytes);
}

// ---- Model

// ---- Transform

TEST(TextActionEncryptionTransform, EmptyInputAndPassword) {
    EXPECT_EQ(encrypt("", ""), "");
    EXPECT_EQ(decrypt("", ""), "");
    EXPECT_EQ(encrypt("", "pw"), "");
    EXPECT_EQ(decrypt("", "pw"), "");
    EXPECT_EQ(encrypt("text", ""), "-- Give Password --");
    EXPECT_EQ(decrypt("AwE=", ""), "-- Give Password --");
    EXPECT_EQ(TextActionEncryption::givePasswordMarker.size(), 19u);
    EXPECT_EQ(TextActionEncryption::errorMarker.size(), 11u);
}

TEST(TextActionEncryptionTransform, MessageLengthFollowsThePadding) {
    for (std::size_t n : {1, 2, 15, 16, 17, 31, 32, 33, 47, 48}) {
        const std::string result = encrypt(std::string(n, 'z'), "pw");
        ASSERT_TRUE(RNCryptor::fromMessageText(result)) << n;
        EXPECT_EQ(result.find_first_of(" \n\r\t"), std::string::npos);
        const std::size_t expectedCipher = (n / 16 + 1) * 16;
        EXPECT_EQ(decoded(result).size(), 34 + expectedCipher + 32) << n;
    }
    EXPECT_EQ(decoded(encrypt(std::string(15, 'a'), "pw")).size(), 34u + 16 + 32);
    EXPECT_EQ(decoded(encrypt(std::string(16, 'a'), "pw")).size(), 34u + 32 + 32);
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

TEST(TextActionEncryptionTransform, SameTextEncryptsDifferentlyEachTime) {
    const std::string a = encrypt("same", "pw"), b = encrypt("same", "pw");
    EXPECT_NE(a, b);
    EXPECT_EQ(decrypt(a, "pw"), "same");
    EXPECT_EQ(decrypt(b, "pw"), "same");
}

TEST(TextActionEncryptionTransform, OneMegabyte) {
    std::string plain;
    plain.reserve(1 << 20);
    for (std::size_t i = 0; plain.size() < (1u << 20); ++i) plain += "line " + std::to_string(i) + " äöü\n";
    const std::string message = encrypt(plain, "big");
    EXPECT_EQ(decoded(message).size(), 34 + (plain.size() / 16 + 1) * 16 + 32);
    EXPECT_EQ(decrypt(message, "big"), plain);
}

TEST(TextActionEncryptionTransform, DamagedMessagesGiveTheErrorMarker) {
    const std::string message = encrypt("a text worth protecting", "pw");
    const std::size_t size = decoded(message).size();
    ASSERT_EQ(size, 34u + 32 + 32);
    struct Case {
        const char* name;
        std::string text;
    };
    Bytes otherVersion = decoded(message);
    otherVersion[0] = 0x02;
    Bytes keyOptions = decoded(message);
    keyOptions[1] = 0x00;
    Bytes cut = decoded(message);
    cut.resize(size - 1);
    Bytes headerOnly = decoded(message);
    headerOnly.resize(20);
    const Case cases[] = {
        {"version byte", RNCryptor::toMessageText(otherVersion)},
        {"options byte", RNCryptor::toMessageText(keyOptions)},
        {"salt", withByteChanged(message, 5)},
        {"HMAC salt", withByteChanged(message, 12)},
        {"vector", withByteChanged(message, 20)},
        {"ciphertext first byte", withByteChanged(message, 34)},
        {"ciphertext last byte", withByteChanged(message, 34 + 31)},
        {"HMAC first byte", withByteChanged(message, size - 32)},
        {"last byte", withByteChanged(message, size - 1)},
        {"one byte short", RNCryptor::toMessageText(cut)},
        {"inside the header", RNCryptor::toMessageText(headerOnly)},
        {"plain Base64 of a text", "SGVsbG8sIFdvcmxkIQ=="},
    };
    for (const auto& c : cases) EXPECT_EQ(decrypt(c.text, "pw"), "-- Error --") << c.name;
}

TEST(TextActionEncryptionTransform, TextThatIsNotStrictBase64GivesEmptyResult) {
    const std::string message = encrypt("white space", "pw");
    const std::string cases[] = {
        message + "\n",
        message + " ",
        " " + message,
        "\n" + message,
        message.substr(0, 20) + "\n" + message.substr(20),
        message.substr(0, 20) + " " + message.substr(20),
        message.substr(0, message.size() - 1),
        message.substr(0, 40) + "*" + message.substr(41),
        "not base64 at all",
    };
    for (const auto& text : cases) EXPECT_EQ(decrypt(text, "pw"), "") << text;
    EXPECT_EQ(decrypt(message, "pw"), "white space");
}

TEST(TextActionEncryptionTransform, AuthenticNonUtf8PlaintextGetsItsOwnMarker) {
    const Bytes binary{0xff, 0xfe, 0x00, 0x41, 0xc3};
    const std::string message = RNCryptor::toMessageText(RNCryptor::Encryptor("pw").encrypt(binary));
    EXPECT_EQ(decrypt(message, "pw"), "-- Decrypted data is not UTF-8 text --");
    EXPECT_EQ(decrypt(message, "other"), "-- Error --");
}

TEST(TextActionEncryptionTransform, OpensMessagesBuiltByAnotherImplementation) {
    if (!testing::opensslAvailable()) GTEST_SKIP() << "the openssl command line is not installed";
    const std::string plain = "Built elsewhere: ünïcödé ✓";
    const auto message = testing::opensslMessage("shared secret", testing::fromHex("a1a2a3a4a5a6a7a8"),
                                                 testing::fromHex("b1b2b3b4b5b6b7b8"),
                                                 testing::fromHex("c0c1c2c3c4c5c6c7c8c9cacbcccdcecf"),
                                                 testing::bytesOf(plain));
    EXPECT_EQ(decrypt(RNCryptor::toMessageText(message), "shared secret"), plain);
    EXPECT_EQ(decrypt(RNCryptor::toMessageText(message), "shared secreT"), "-- Error --");
}

TEST(TextActionEncryptionTransform, CommandLineRoundTrip) {
    const std::string cli = LEXORRA_CLI_PATH;
    testing::ScratchFile in(testing::bytesOf("through the command line"));
    const std::string message = testing::runCommand(
        cli + " run --action-json '{\"Type\":19,\"Password\":\"pw\"}' --in " + in.path.string());
    testing::ScratchFile encrypted(testing::bytesOf(message));
    EXPECT_EQ(testing::runCommand(cli + " run --action encryption --set Password=pw --set EncryptionOrDecryption=1 --in " +
                                  encrypted.path.string()),
              "through the command line");
}

} // namespace
} // namespace lexorra
