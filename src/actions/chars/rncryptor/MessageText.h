#pragma once

#include "actions/chars/rncryptor/Primitives.h"

#include <optional>
#include <string>
#include <string_view>

namespace lexorra::RNCryptor {

// The text form of a message: standard Base64 (RFC 4648 alphabet, "=" padding) on one line.
std::string toMessageText(ByteView message);

// Strict reading of the text form: any character outside the alphabet (white space and line
// breaks included), a length that is not a multiple of four or misplaced padding gives nullopt.
//   fromMessageText("AwE=") -> {0x03, 0x01};  fromMessageText("AwE=\n") -> nullopt
std::optional<Bytes> fromMessageText(std::string_view text);

} // namespace lexorra::RNCryptor
