#pragma once

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

    static constexpr std::string_view marker = "[<_QR-Code_>]";
};

// True when a result is meant to be shown as a QR code.
bool isQRCodeResult(std::string_view result);

// The message a QR code result encodes: the markers removed, more than 1200 characters cut
// to 1200 and "...", then characters dropped from the end until it is under 2223 bytes.
std::string qrCodePayload(std::string_view result);

// The PNG image of a QR code result: its payload encoded at the default error-correction
// level (M), one-module light margin, every module drawn as 9 x 9 black or white pixels.
// nullopt when the payload is empty or cannot be encoded.
//   auto png = qrCodePng("[<_QR-Code_>]hello"); // write *png to "qrcode.png"
std::optional<std::string> qrCodePng(std::string_view result);

// The file name proposed when a result is saved.
std::string_view resultFileName(std::string_view result);

} // namespace lexorra
