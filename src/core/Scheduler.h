#pragma once

#include <functional>

namespace lexorra {

// How the engine reaches the event loop without knowing it. The desktop shell implements
// it with timers and a thread pool; tests use ManualScheduler, whose clock only moves
// when told to, so every debounce is tested without sleeping.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual void postMain(std::function<void()> task) = 0;                       // queued on the main thread
    virtual void postMainAfter(double seconds, std::function<void()> task) = 0;  // main thread, after a delay
    virtual void runBackground(std::function<void()> task) = 0;                  // user-initiated priority
};

} // namespace lexorra
