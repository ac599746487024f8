#include "core/ResultsController.h"

#include "core/Diagnostics.h"
#include "core/WorkflowRuns.h"
#include "text/Graphemes.h"

#include <algorithm>

namespace lexorra {

ResultsController::ResultsController(Scheduler& scheduler, RunToken& runToken, Hooks hooks)
    : m_scheduler(scheduler), m_runToken(runToken), m_hooks(std::move(hooks)), m_alive(std::make_shared<bool>(true)),
      m_inputDebounce(scheduler, 0.5), m_structureDebounce(scheduler, 1.0, [] { diagnostic("not"); }) {}

ResultsController::~ResultsController() {
    *m_alive = false;
}

void ResultsController::updateResults(bool live, bool copyAfter) {
    const TextActionSeqPtr seq = m_hooks.activeSequence();
    if (live) {
        if (!m_liveResults) return;
        if (seq) {
            const auto& actions = seq->actionsArray;
            if (std::any_of(actions.begin(), actions.end(), [](const auto& a) { return callsNetwork(a->type); })) {
                m_hooks.networkRunHeldBack();
                return;
            }
        }
    }
    if (m_disableUpdateResults || !seq) return;
    m_loadingResults = true;
    m_hooks.changed("loadingResults");

    // The input is captured here, on the main thread, so the background run never reads
    // a string the user is editing.
    std::string input = m_inputString;
    auto lookup = lookupIn(m_hooks.workflows());
    const bool traced = lookup(seq->id) != nullptr; // a workflow's run shows its steps
    m_scheduler.runBackground([this, seq, input = std::move(input), copyAfter, lookup = std::move(lookup), traced,
                               alive = std::weak_ptr<bool>(m_alive)] {
        if (auto a = alive.lock(); !a || !*a) return;
        diagnostic("---------->" + seq->name);
        const RunToken::Value token = m_runToken.renew();
        ++m_pendingUpdateTasks;
        std::vector<StepRecord> steps;
        RunEnvironment environment(lookup, traced ? &steps : nullptr);
        std::string result = seq->run(input, m_runToken);
        // Cards show the workflow's own steps; those of the workflows it runs stay inside theirs.
        std::erase_if(steps, [](const StepRecord& s) { return s.path.find('.') != std::string::npos; });
        m_scheduler.postMain(
            [this, seq, token, result = std::move(result), steps = std::move(steps), copyAfter, alive]() mutable {
                if (auto a = alive.lock(); !a || !*a) return;
                publish(seq->id, seq->name, token, std::move(result), std::move(steps), copyAfter);
            });
    });
}

void ResultsController::publish(const std::string& seqId, const std::string& seqName, RunToken::Value token,
                                std::string result, std::vector<StepRecord> steps, bool copyAfter) {
    const int remaining = --m_pendingUpdateTasks;
    // A run whose last action finished after a newer computation started is stale too,
    // although the runner had no step left at which to notice.
    const bool current = token == m_runToken.current();
    const TextActionSeqPtr active = m_hooks.activeSequence();
    if (active && active->id == seqId && m_loadingResults && current && result != cancellationMarker) {
        diagnostic("<--------->" + seqName);
        m_resultSteps = {seqId, std::move(steps)};
        m_hooks.changed("resultSteps");
        setResultString(std::move(result));
        if (m_hooks.resultShown) m_hooks.resultShown();
    }
    if (remaining == 0) {
        m_loadingResults = false;
        m_hooks.changed("loadingResults");
    }
    if (copyAfter) m_hooks.copyResult();
}

void ResultsController::scheduleInputUpdate() {
    // More than the limit, found without walking past it: counting every cluster of a pasted
    // 10 MB text held the window for a noticeable time.
    if (text::moreGraphemesThan(m_inputString, liveInputLimit)) {
        // A debounce still pending from the text before (a paste over a selection deletes
        // first) would otherwise run live over this one and save it.
        m_inputDebounce.cancel();
        m_disableUpdateResults = false;
        return;
    }
    m_disableUpdateResults = true;
    m_inputDebounce.schedule([this] {
        m_disableUpdateResults = false;
        updateResults(true, false);
        m_hooks.inputSettled();
    });
}

void ResultsController::scheduleStructureUpdate() {
    m_disableUpdateResults = true;
    m_structureDebounce.schedule([this] {
        m_disableUpdateResults = false;
        updateResults(true, false);
    });
}

void ResultsController::setInputString(std::string input) {
    showInputString(std::move(input));
    scheduleInputUpdate();
}

void ResultsController::showInputString(std::string input) {
    m_inputString = std::move(input);
    m_hooks.changed("inputString");
}

void ResultsController::setResultString(std::string result) {
    m_resultString = std::move(result);
    m_hooks.changed("resultString");
}

} // namespace lexorra
