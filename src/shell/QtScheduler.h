#pragma once

#include "core/Scheduler.h"

namespace lexorra::shell {

// The engine's Scheduler on Qt's event loop: main-thread tasks are queued on the
// application object, delayed ones use single-shot timers, background work the global
// thread pool.
class QtScheduler : public Scheduler {
public:
    void postMain(std::function<void()> task) override;
    void postMainAfter(double seconds, std::function<void()> task) override;
    void runBackground(std::function<void()> task) override;
};

} // namespace lexorra::shell
