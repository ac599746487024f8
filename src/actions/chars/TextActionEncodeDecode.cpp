#include "actions/chars/TextActionEncodeDecode.h"

#include "text/Base64Strict.h"
#include "text/FastUtf8Check.h"
#include "text/LargeBuffer.h"
#include "text/PercentCoding.h"

namespace lexorra {

const OptionList& TextActionEncodeDecode::options() const {
    using A = TextActionEncodeDecode;
    static const OptionList decls = {
        bind({.key = "EncodingType",
              .label = "Type:",
              .kind = OptionKind::menu,
              .cases = {{0, "base64", "Base64"}, {1, "url", "URL"}}},
             &A::encodingType),
        bind({.key = "EncodeORDecode",
              .label = "Action:",
              .kind = OptionKind::menu,
              .cases = {{0, "encode", "Encode"}, {1, "decode", "Decode"}}},
             &A::encodeORDecode),
        bind({.key = "SeparatedLines", .label = "Encode each line separately"}, &A::separatedLines),
    };
    return decls;
}

std::string TextActionEncodeDecode::convert(std::string_view piece) const {
    const bool encode = encodeORDecode == EncodeORDecode::encode;
    if (encodingType == EncodeDecodeType::base64) {
        if (encode) return text::base64EncodeStd(piece);
        auto bytes = text::base64DecodeStrict(piece);
        if (!bytes || !text::isValidUtf8Fast(*bytes)) return std::string(notValidMarker);
        return std::move(*bytes);
    }
    if (encode) {
        // Text that is not valid Unicode has no percent-encoding of its characters.
        if (!text::isValidUtf8Fast(piece)) return {};
        return text::percentEncodeQuery(piece);
    }
    auto decoded = text::percentDecodeStrict(piece);
    return decoded ? std::move(*decoded) : std::string(notValidMarker);
}

std::string TextActionEncodeDecode::transform(std::string_view text) const {
    if (!separatedLines) return convert(text);

    // A line feed is written only once something precedes it, so leading lines that
    // convert to nothing leave no trace while later empty ones keep their place.
    // Room for the usual outcome up front: growing a result of many megabytes step by step
    // copies it over and over.
    std::string result;
    const bool base64Encode = encodingType == EncodeDecodeType::base64 && encodeORDecode == EncodeORDecode::encode;
    text::reserveLarge(result, base64Encode ? text.size() / 3 * 4 + text.size() / 8 + 16 : text.size() + 16);
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        const std::string_view line =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        const std::string converted = convert(line);
        if (!result.empty()) result.push_back('\n');
        result += converted;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return result;
}

LEXORRA_ACTION_FACTORY(TextActionEncodeDecode)

} // namespace lexorra
