#pragma once

#include "core/Scheduler.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace lexorra {

// A Scheduler with a clock that moves only when advanced: main-thread tasks run in due
// order during advance/runPending, background tasks run inline on the calling thread.
//
//   ManualScheduler s;
//   s.postMainAfter(1.0, [&] { fired = true; });
//   s.advance(0.9);  // not yet
//   s.advance(0.1);  // fired
class ManualScheduler : public Scheduler {
public:
    void postMain(std::function<void()> task) override { postMainAfter(0.0, std::move(task)); }
    void postMainAfter(double seconds, std::function<void()> task) override {
        m_tasks.emplace(std::make_pair(m_now + seconds, m_sequence++), std::move(task));
    }
    void runBackground(std::function<void()> task) override {
        if (m_runBackgroundInline)
            task();
        else
            m_background.emplace_back(std::move(task));
    }

    // Moves the clock forward, running every main-thread task that falls due on the way.
    void advance(double seconds) {
        const double until = m_now + seconds;
        while (!m_tasks.empty() && m_tasks.begin()->first.first <= until + 1e-9) {
            auto node = m_tasks.extract(m_tasks.begin());
            m_now = std::max(m_now, node.key().first);
            node.mapped()();
        }
        m_now = until;
    }
    // Runs the tasks that are due now.
    void runPending() { advance(0.0); }
    // Runs queued background tasks (when not inline).
    void runBackgroundTasks() {
        while (!m_background.empty()) {
            auto task = std::move(m_background.front());
            m_background.erase(m_background.begin());
            task();
        }
    }
    void setRunBackgroundInline(bool inlineRuns) { m_runBackgroundInline = inlineRuns; }

    double now() const { return m_now; }
    size_t pendingCount() const { return m_tasks.size(); }

private:
    double m_now = 0.0;
    uint64_t m_sequence = 0;
    bool m_runBackgroundInline = true;
    std::map<std::pair<double, uint64_t>, std::function<void()>> m_tasks;
    std::vector<std::function<void()>> m_background;
};

} // namespace lexorra
