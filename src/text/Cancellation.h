#pragma once

#include <functional>

namespace lexorra {

// Long transforms ask whether the run they belong to became stale, without knowing who
// runs them: the workflow runner installs a check for the duration of a run on its thread.
//
//   CancellationScope scope([&] { return token.current() != started; });
//   ... if (runIsStale()) return {};
class CancellationScope {
public:
    // run: what identifies the run's line of succession (its token), see currentRun().
    explicit CancellationScope(std::function<bool()> isStale, const void* run = nullptr);
    ~CancellationScope();
    const void* run() const { return m_run; }
    CancellationScope(const CancellationScope&) = delete;
    CancellationScope& operator=(const CancellationScope&) = delete;

private:
    std::function<bool()> m_isStale;
    const void* m_run;
    CancellationScope* m_previous;
};

// True when the run on this thread has been superseded; false outside any run.
bool runIsStale();
// The token the run on this thread watches, null outside any run. Runs of one token
// supersede each other; runs of different tokens (two calls of the intents service) do not.
const void* currentRun();

} // namespace lexorra
