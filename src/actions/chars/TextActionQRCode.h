#pragma once

#include "core/QrCodeResults.h"
#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

// Puts the QR marker in front of the text; whoever shows the result draws the rest of the
// text as a QR code (see qrCodePng).
class TextActionQRCode : public TextAction {
public:
    TextActionQRCode() : TextAction(TextActionType::generateQRCode) {}

    std::string transform(std::string_view text) const override;

    static constexpr std::string_view marker = markers::qrCode;
};

} // namespace lexorra
