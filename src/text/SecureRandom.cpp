#include "text/SecureRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace lexorra::text {

// Straight from the kernel: OpenSSL's generator would do as well, but initialising it
// costs every short-lived process a few milliseconds.
void fillSecureRandom(void* data, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t n = getrandom(bytes + filled, size - filled, 0);
        if (n > 0) {
            filled += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            std::random_device device;
            for (; filled < size; ++filled) bytes[filled] = static_cast<unsigned char>(device());
        }
    }
}

void SecureRandom::refill() {
    fillSecureRandom(m_buffer.data(), m_buffer.size());
    m_used = 0;
}

std::uint64_t SecureRandom::next() {
    if (m_used + sizeof(std::uint64_t) > m_buffer.size()) refill();
    std::uint64_t bits;
    std::memcpy(&bits, m_buffer.data() + m_used, sizeof bits);
    m_used += sizeof bits;
    return bits;
}

std::uint64_t SecureRandom::below(std::uint64_t bound) {
    if (bound <= 1) return 0;
    // 2^64 mod bound: the accepted range [threshold, 2^64) holds a whole number of
    // copies of [0, bound).
    const std::uint64_t threshold = (0 - bound) % bound;
    while (true) {
        const std::uint64_t bits = next();
        if (bits >= threshold) return bits % bound;
    }
}

} // namespace lexorra::text
