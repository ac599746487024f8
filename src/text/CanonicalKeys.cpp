#include "text/CanonicalKeys.h"

#include "text/Utf.h"

#include <unicode/bytestream.h>

namespace lexorra::text {

CanonicalKeys::CanonicalKeys()
    : m_nfc([] {
          UErrorCode status = U_ZERO_ERROR;
          const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
          return U_SUCCESS(status) ? nfc : nullptr;
      }()) {}

std::string_view CanonicalKeys::key(std::string_view text) {
    if (isAscii(text) || !m_nfc) return text;
    UErrorCode status = U_ZERO_ERROR;
    const icu::StringPiece piece(text.data(), static_cast<int32_t>(text.size()));
    if (m_nfc->isNormalizedUTF8(piece, status) || U_FAILURE(status)) return text;
    std::string& normal = m_normalized.emplace_back();
    icu::StringByteSink<std::string> sink(&normal, static_cast<int32_t>(text.size()));
    status = U_ZERO_ERROR;
    m_nfc->normalizeUTF8(0, piece, sink, nullptr, status);
    return U_SUCCESS(status) ? std::string_view(normal) : text;
}

} // namespace lexorra::text
