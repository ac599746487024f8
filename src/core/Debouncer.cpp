#include "core/Debouncer.h"

namespace lexorra {

Debouncer::Debouncer(Scheduler& scheduler, double seconds, std::function<void()> superseded)
    : m_scheduler(scheduler), m_seconds(seconds), m_superseded(std::move(superseded)) {}

void Debouncer::schedule(std::function<void()> task) {
    const std::uint64_t generation = ++*m_generation;
    m_scheduler.postMainAfter(m_seconds, [newest = std::weak_ptr<std::uint64_t>(m_generation), generation,
                                          task = std::move(task), superseded = m_superseded] {
        const auto current = newest.lock();
        if (!current) return;
        if (*current != generation) {
            if (superseded) superseded();
            return;
        }
        task();
    });
}

void Debouncer::cancel() {
    ++*m_generation;
}

} // namespace lexorra
