#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace lexorra::text {

// Fills `size` bytes from the kernel's cryptographically strong generator (getrandom).
// Never fails: should the call be refused, std::random_device (the same kernel source
// through another door) fills the rest.
void fillSecureRandom(void* data, std::size_t size);

// Random draws from the operating system's cryptographically strong generator, buffered so that shuffling millions of items does not pay a call per draw.
// Not thread-safe: make one per transform.
//
//   SecureRandom random;
//   random.shuffle(lines);          // every order equally likely
//   auto i = random.below(6);       // 0..5, unbiased
class SecureRandom {
public:
    // 64 random bits.
    std::uint64_t next();
    // Uniform in [0, bound); 0 when bound is 0 or 1. Draws that fall into the
    // 2^64 mod bound lowest values are rejected so that no result is favoured.
    std::uint64_t below(std::uint64_t bound);

    // Fisher–Yates.
    template <class T> void shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            const std::size_t j = static_cast<std::size_t>(below(i));
            if (j != i - 1) std::swap(items[i - 1], items[j]);
        }
    }

private:
    void refill();

    std::array<unsigned char, 4096> m_buffer{};
    std::size_t m_used = m_buffer.size();
};

} // namespace lexorra::text
