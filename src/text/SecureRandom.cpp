#include "text/SecureRandom.h"

#include <openssl/rand.h>

#include <cstring>
#include <random>

namespace lexorra::text {

void SecureRandom::refill() {
    if (RAND_bytes(m_buffer.data(), static_cast<int>(m_buffer.size())) != 1) {
        // OpenSSL could not seed itself; the kernel's source behind random_device is
        // still unpredictable, which is all a shuffle needs.
        std::random_device device;
        for (size_t i = 0; i < m_buffer.size(); i += sizeof(unsigned int)) {
            const unsigned int bits = device();
            std::memcpy(m_buffer.data() + i, &bits, sizeof bits);
        }
    }
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
