#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lexorra {

enum class EncryptionOrDecryption : std::int64_t { encryption = 0, decryption = 1 };

// Password encryption of the whole text into the RNCryptor version 3 message format, as
// Base64 on one line, and back. Salts and vector are fresh on each run, so encrypting the same
// text twice gives different results.
class TextActionEncryption : public TextAction {
public:
    TextActionEncryption() : TextAction(TextActionType::encryption) {}

    EncryptionOrDecryption encryptionOrDecryption = EncryptionOrDecryption::encryption;
    std::string password;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    static constexpr std::string_view givePasswordMarker = markers::givePassword;
    static constexpr std::string_view errorMarker = markers::encryptionError;
    // The message opened and proved authentic, but what it holds is not UTF-8 text.
    static constexpr std::string_view notTextMarker = markers::decryptedNotText;
};

} // namespace lexorra
