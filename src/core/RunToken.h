#pragma once

#include <atomic>
#include <cstdint>

namespace lexorra {

// The token that marks the current computation. The results controller renews it each
// time it starts a computation; a run remembers the value it started with and is stale
// once the token moved on. Read and replaced atomically, never locked.
class RunToken {
public:
    using Value = std::uint64_t;

    Value current() const { return m_value.load(std::memory_order_acquire); }
    Value renew() { return m_value.fetch_add(1, std::memory_order_acq_rel) + 1; }

    // The application-wide token that workflow runs watch.
    static RunToken& application();

private:
    std::atomic<Value> m_value{0};
};

} // namespace lexorra
