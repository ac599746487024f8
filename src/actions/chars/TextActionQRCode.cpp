#include "actions/chars/TextActionQRCode.h"

#include "core/SharedLibrary.h"
#include "text/Graphemes.h"

#include <png.h>
#include <qrencode.h>

#include <memory>
#include <vector>

namespace lexorra {
namespace {

constexpr size_t maxCharacters = 1200;
constexpr size_t byteLimit = 2223; // the payload must stay below this many bytes
constexpr int magnification = 9;
constexpr int marginModules = 1;

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

std::optional<std::string> writeGrayPng(const std::vector<unsigned char>& pixels, int side) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return std::nullopt;
    }
    std::string out;
    // libpng reports errors by longjmp; nothing with a destructor lives between here and the calls.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::nullopt;
    }
    png_set_write_fn(png, &out, appendToString, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(side), static_cast<png_uint_32>(side), 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < side; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(side)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The encoder library is opened when the first code is drawn: only the window draws codes,
// and every command-line run would otherwise pay for loading it.
struct QrEncoder {
    QRcode* (*encodeData)(int, const unsigned char*, int, QRecLevel);
    void (*free)(QRcode*);
};

const QrEncoder* qrEncoder() {
    return loadFunctions<QrEncoder>("libqrencode.so.4", [](const SharedLibrary& library, QrEncoder& encoder) {
        return library.resolve("QRcode_encodeData", encoder.encodeData) && library.resolve("QRcode_free", encoder.free);
    });
}

} // namespace

std::string TextActionQRCode::transform(std::string_view text) const {
    std::string out(marker);
    out += text;
    return out;
}

bool isQRCodeResult(std::string_view result) {
    return result.find(TextActionQRCode::marker) != std::string_view::npos;
}

std::string qrCodePayload(std::string_view result) {
    std::string text;
    text.reserve(result.size());
    size_t last = 0;
    for (size_t at = result.find(TextActionQRCode::marker); at != std::string_view::npos;
         at = result.find(TextActionQRCode::marker, last)) {
        text.append(result, last, at - last);
        last = at + TextActionQRCode::marker.size();
    }
    text.append(result, last, std::string_view::npos);

    std::vector<size_t> bounds = text::graphemeBoundaries(text);
    if (bounds.size() - 1 > maxCharacters) {
        text.resize(bounds[maxCharacters]);
        text += "...";
        bounds = text::graphemeBoundaries(text);
    }
    // Dropping whole characters keeps the payload valid UTF-8.
    size_t count = bounds.size() - 1;
    while (text.size() >= byteLimit && count > 0)
        text.resize(bounds[--count]);
    return text;
}

std::optional<std::string> qrCodePng(std::string_view result) {
    const std::string payload = qrCodePayload(result);
    if (payload.empty()) return std::nullopt;
    const QrEncoder* encoder = qrEncoder();
    if (!encoder) return std::nullopt;
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        encoder->encodeData(static_cast<int>(payload.size()), reinterpret_cast<const unsigned char*>(payload.data()), 0,
                            QR_ECLEVEL_M),
        encoder->free);
    if (!code) return std::nullopt;

    const int modules = code->width + 2 * marginModules;
    const int side = modules * magnification;
    std::vector<unsigned char> pixels(static_cast<size_t>(side) * static_cast<size_t>(side), 0xFF);
    for (int my = 0; my < code->width; ++my) {
        for (int mx = 0; mx < code->width; ++mx) {
            // Bit 0 of each libqrencode module byte is "dark".
            if (!(code->data[my * code->width + mx] & 1)) continue;
            const int x0 = (mx + marginModules) * magnification;
            const int y0 = (my + marginModules) * magnification;
            for (int y = y0; y < y0 + magnification; ++y)
                std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * side + x0, magnification, 0);
        }
    }
    return writeGrayPng(pixels, side);
}

std::string_view resultFileName(std::string_view result) {
    return isQRCodeResult(result) ? "qrcode.png" : "results.txt";
}

LEXORRA_ACTION_FACTORY(TextActionQRCode)

} // namespace lexorra
