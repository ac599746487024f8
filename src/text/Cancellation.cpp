#include "text/Cancellation.h"

namespace lexorra {
namespace {
thread_local CancellationScope* currentScope = nullptr;
thread_local const std::function<bool()>* currentCheck = nullptr;
} // namespace

CancellationScope::CancellationScope(std::function<bool()> isStale, const void* run)
    : m_isStale(std::move(isStale)), m_run(run), m_previous(currentScope) {
    currentScope = this;
    currentCheck = &m_isStale;
}

CancellationScope::~CancellationScope() {
    currentScope = m_previous;
    currentCheck = m_previous ? &m_previous->m_isStale : nullptr;
}

bool runIsStale() { return currentCheck && *currentCheck && (*currentCheck)(); }

const void* currentRun() { return currentScope ? currentScope->run() : nullptr; }

} // namespace lexorra
