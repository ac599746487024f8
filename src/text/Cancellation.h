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
    explicit CancellationScope(std::function<bool()> isStale);
    ~CancellationScope();
    CancellationScope(const CancellationScope&) = delete;
    CancellationScope& operator=(const CancellationScope&) = delete;

private:
    std::function<bool()> m_isStale;
    CancellationScope* m_previous;
};

// True when the run on this thread has been superseded; false outside any run.
bool runIsStale();

} // namespace lexorra
