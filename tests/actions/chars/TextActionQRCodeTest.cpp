#include "actions/chars/TextActionQRCode.h"

#include "core/TextActionSeq.h"
#include "support/ActionCases.h"

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <png.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lexorra;

namespace {

const std::string marker(TextActionQRCode::marker);

struct Gray {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

Gray readPng(const std::string& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Gray out;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return out;
    image.format = PNG_FORMAT_GRAY;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return {};
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

std::string decodeQr(const Gray& image) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const auto result =
        ZXing::ReadBarcode({image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum}, hints);
    if (!result.isValid()) return "<no code>";
    const auto& bytes = result.bytes();
    return std::string(bytes.begin(), bytes.end());
}

using lexorra::testing::repeat;

TEST(QRCode, TransformPutsTheMarkerFirst) {
    TextActionQRCode action;
    EXPECT_EQ(action.transform("hello"), "[<_QR-Code_>]hello");
    EXPECT_EQ(action.transform(""), "[<_QR-Code_>]");
}

TEST(QRCode, Payload) {
    const lexorra::testing::Row cases[] = {
        {"marker removed", marker + "hello", "hello"},
        {"every marker removed", marker + "a" + marker + "b", "ab"},
        {"1200 characters kept whole", repeat("x", 1200), repeat("x", 1200)},
        {"1201 characters cut with dots", repeat("x", 1201), repeat("x", 1200) + "..."},
        {"marker does not count", marker + repeat("x", 1200), repeat("x", 1200)},
        // 1200 two-byte characters and "..." are 2403 bytes: cut to under 2223 bytes.
        {"byte limit drops whole characters", repeat("\u00E9", 1300), repeat("\u00E9", 1111)},
        {"grapheme clusters count as one", repeat("e\u0301", 1201), repeat("e\u0301", 740)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qrCodePayload(c.input), c.expected) << c.name;
}

TEST(QRCode, PayloadStaysUnderTheByteLimitAndValid) {
    for (size_t n : {1110u, 1111u, 1112u, 2000u}) {
        const std::string payload = qrCodePayload(repeat("\u00E9", n));
        EXPECT_LT(payload.size(), 2223u) << n;
        EXPECT_EQ(payload.size() % 2, 0u) << n; // never half a character
    }
}

TEST(QRCode, DecodesBackToThePayload) {
    for (const std::string& text :
         std::vector<std::string>{"hello", "Grüße aus 東京 🙂", "https://example.org/a?b=c&d=e",
                                  repeat("0123456789", 150), repeat("\u00E9", 1500)}) {
        const std::string result = marker + text;
        auto png = qrCodePng(result);
        ASSERT_TRUE(png.has_value());
        const Gray image = readPng(*png); // libpng reads only what starts with the PNG signature
        ASSERT_GT(image.width, 0);
        EXPECT_EQ(image.width, image.height);
        EXPECT_EQ(image.width % 9, 0);
        EXPECT_EQ(decodeQr(image), qrCodePayload(result));
    }
}

TEST(QRCode, ModulesAreNinePixelsWithALightMargin) {
    const Gray image = readPng(*qrCodePng(marker + "hello"));
    // "hello" fits version 1: 21 modules plus one light module on each side.
    EXPECT_EQ(image.width, 23 * 9);
    for (int x = 0; x < image.width; ++x)
        EXPECT_EQ(image.pixels[x], 0xFF);
    // The top-left finder pattern starts dark right after the margin, as a full 9x9 block.
    for (int y = 9; y < 18; ++y)
        for (int x = 9; x < 18; ++x)
            EXPECT_EQ(image.pixels[static_cast<size_t>(y * image.width + x)], 0);
}

TEST(QRCode, EmptyPayloadHasNoImage) {
    EXPECT_FALSE(qrCodePng(marker).has_value());
    EXPECT_FALSE(qrCodePng("").has_value());
}

} // namespace
