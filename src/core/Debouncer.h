#pragma once

#include "core/Scheduler.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace lexorra {

// A trailing debounce on the main thread: the task of the last schedule() runs `seconds` after
// that call, unless a later schedule() or a cancel() came first. Tasks are never taken back from
// the scheduler; one that was overtaken finds out when it falls due and runs `superseded`
// instead (a diagnostic line, say). Destroying the debouncer drops whatever is pending, so a
// task may use the object that owns the debouncer.
//
//   Debouncer typing(scheduler, 0.5);
//   typing.schedule([this] { recompute(); }); // on every keystroke; runs once, 0.5 s after the last
class Debouncer {
public:
    Debouncer(Scheduler& scheduler, double seconds, std::function<void()> superseded = {});
    ~Debouncer() = default;
    Debouncer(const Debouncer&) = delete;
    Debouncer& operator=(const Debouncer&) = delete;

    void schedule(std::function<void()> task);
    // The pending task, if any, will not run.
    void cancel();

private:
    Scheduler& m_scheduler;
    const double m_seconds;
    std::function<void()> m_superseded;
    // The generation of the newest schedule; tasks hold it weakly, so it dies with the debouncer.
    std::shared_ptr<std::uint64_t> m_generation = std::make_shared<std::uint64_t>(0);
};

} // namespace lexorra
