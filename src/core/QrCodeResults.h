#pragma once

#include <optional>
#include <string>
#include <string_view>

// Results that stand for a picture: the QR-code action marks its result, and whoever shows,
// copies or saves a result asks here for the picture (the encoder lives with that action).
namespace lexorra {

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
