#include "actions/chars/rncryptor/MessageText.h"

#include "text/Base64Strict.h"

namespace lexorra::RNCryptor {

std::string toMessageText(ByteView message) {
    return text::base64EncodeStd({reinterpret_cast<const char*>(message.data()), message.size()});
}

std::optional<Bytes> fromMessageText(std::string_view text) {
    auto bytes = text::base64DecodeStrict(text);
    if (!bytes) return std::nullopt;
    return Bytes(bytes->begin(), bytes->end());
}

} // namespace lexorra::RNCryptor
