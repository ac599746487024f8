#include "core/TextFile.h"

#include "text/Utf.h"

#include <unicode/ucnv.h>

#include <cstdio>

namespace lexorra {
namespace {

std::string convert(std::string_view bytes, const char* encoding) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString u(bytes.data(), static_cast<int32_t>(bytes.size()), encoding);
    (void)status;
    return text::toUtf8(u);
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

} // namespace

std::string decodeText(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (startsWith(bytes, "\xEF\xBB\xBF"sv)) return std::string(bytes.substr(3));
    if (startsWith(bytes, "\xFF\xFE\x00\x00"sv)) return convert(bytes.substr(4), "UTF-32LE");
    if (startsWith(bytes, "\x00\x00\xFE\xFF"sv)) return convert(bytes.substr(4), "UTF-32BE");
    if (startsWith(bytes, "\xFF\xFE"sv)) return convert(bytes.substr(2), "UTF-16LE");
    if (startsWith(bytes, "\xFE\xFF"sv)) return convert(bytes.substr(2), "UTF-16BE");
    if (text::isValidUtf8(bytes)) return std::string(bytes);
    return convert(bytes, "windows-1252");
}

std::string decodeText(std::string&& bytes) {
    if (!bytes.starts_with("\xEF\xBB\xBF") && !bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF") &&
        !bytes.starts_with(std::string_view("\x00\x00\xFE\xFF", 4)) && text::isValidUtf8(bytes))
        return std::move(bytes);
    return decodeText(std::string_view(bytes));
}

std::optional<std::string> readTextFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return std::nullopt;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return std::nullopt;
    std::string bytes;
    if (auto size = std::filesystem::file_size(file, ec); !ec) bytes.reserve(size);
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
    const bool failed = std::ferror(in);
    std::fclose(in);
    if (failed) return std::nullopt;
    return decodeText(std::move(bytes));
}

} // namespace lexorra
