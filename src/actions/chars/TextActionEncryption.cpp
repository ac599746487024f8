#include "actions/chars/TextActionEncryption.h"

#include "actions/chars/rncryptor/MessageText.h"
#include "actions/chars/rncryptor/RNCryptor.h"
#include "text/Utf.h"

#include <exception>

namespace lexorra {

const OptionList& TextActionEncryption::options() const {
    using A = TextActionEncryption;
    static const OptionList decls = {
        bind({.key = "Password", .label = "Password:", .hint = "shown as typed and stored with the workflow"},
             &A::password),
        bind({.key = "EncryptionOrDecryption",
              .label = "Action:",
              .kind = OptionKind::menu,
              .cases = {{0, "encryption", "Encryption"}, {1, "decryption", "Decryption"}}},
             &A::encryptionOrDecryption),
    };
    return decls;
}

std::string TextActionEncryption::transform(std::string_view text) const {
    if (text.empty()) return {};
    if (password.empty()) return std::string(givePasswordMarker);

    if (encryptionOrDecryption == EncryptionOrDecryption::encryption) {
        try {
            RNCryptor::Encryptor encryptor(password);
            return RNCryptor::toMessageText(encryptor.encrypt(RNCryptor::asBytes(text)));
        } catch (const std::exception&) {
            return std::string(errorMarker);
        }
    }

    const auto message = RNCryptor::fromMessageText(text);
    if (!message) return {};
    RNCryptor::Bytes plain;
    try {
        plain = RNCryptor::Decryptor(password).decrypt(*message);
    } catch (const std::exception&) {
        return std::string(errorMarker);
    }
    std::string result(plain.begin(), plain.end());
    if (!text::isValidUtf8(result)) return std::string(notTextMarker);
    return result;
}

LEXORRA_ACTION_FACTORY(TextActionEncryption)

} // namespace lexorra
