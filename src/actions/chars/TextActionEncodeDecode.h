#pragma once

#include "core/ResultMarkers.h"
#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

enum class EncodeDecodeType { base64 = 0, url = 1 };
enum class EncodeORDecode { encode = 0, decode = 1 };

// Base64 or percent-encoding, in either direction, of the whole text or of each line.
//   TextActionEncodeDecode a;              // Base64, encode, whole text
//   a.transform("abc") == "YWJj"
class TextActionEncodeDecode : public TextAction {
public:
    TextActionEncodeDecode() : TextAction(TextActionType::encodeDecode) {}

    EncodeDecodeType encodingType = EncodeDecodeType::base64;
    EncodeORDecode encodeORDecode = EncodeORDecode::encode;
    bool separatedLines = false;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;

    // One piece converted with this action's encoding and direction.
    std::string convert(std::string_view piece) const;

    static constexpr std::string_view notValidMarker = markers::notValidCoding;
};

} // namespace lexorra
