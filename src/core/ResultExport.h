#pragma once

#include "core/Clipboard.h"
#include "core/TextActionSeq.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lexorra {

// Takes results out of the application: onto the clipboard or into a file, a QR result as
// its picture; and runs a sequence over a whole file into another one.
//
//   ResultExport out({.clipboard = &clipboard, .notice = show});
//   out.copy(result);                 // "Copied Text", or "Copied Image" for a QR result
//   out.save(result, "result.png");
class ResultExport {
public:
    using PngMaker = std::function<std::optional<std::vector<unsigned char>>(const std::string& result)>;
    struct Services {
        Clipboard* clipboard = nullptr;
        // The PNG of a QR result; the QR code encoder unless given.
        PngMaker qrCodePng;
        std::function<void(const std::string& message, NoticeStyle style)> notice;
    };

    explicit ResultExport(Services services);

    void copy(const std::string& result);
    // A QR result as PNG, any other result as UTF-8 text.
    bool save(const std::string& result, const std::string& file);
    // Runs `seq` over the file and writes the result next to it ("name.lexorra.txt") unless a
    // path is given; never over the file it read.
    static bool runToFile(const TextActionSeq& seq, const std::vector<TextActionSeqPtr>& workflows,
                          const std::string& file, const std::string& output, std::string* written);

private:
    Services m_services;
};

} // namespace lexorra
