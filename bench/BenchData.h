#pragma once

#include <cstddef>
#include <string>

namespace lexorra::bench {

// Deterministic English-like prose with numbers and punctuation, split in lines of
// 40-100 characters, of at least `bytes` bytes. The same seed gives the same text, so the
// comparison scripts can write it to a file and feed it to standard tools.
std::string proseText(size_t bytes, unsigned seed = 42);

// The same with some accented and non-Latin letters mixed in.
std::string accentedText(size_t bytes, unsigned seed = 42);

inline constexpr size_t typingSize = 32 * 1024;
inline constexpr size_t bigSize = 10 * 1024 * 1024;

} // namespace lexorra::bench
