#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lexorra {

// Reads a text file as UTF-8, detecting the encoding: a UTF-8, UTF-16 or UTF-32 byte-order
// mark; else UTF-8 when the bytes are valid UTF-8; else Windows-1252. nullopt when the
// file cannot be read.
std::optional<std::string> readTextFile(const std::filesystem::path& file);

// The same detection over bytes already in memory; UTF-8 input is moved, not copied.
std::string decodeText(std::string_view bytes);
std::string decodeText(std::string&& bytes);

} // namespace lexorra
