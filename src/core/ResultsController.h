#pragma once

#include "core/Debouncer.h"
#include "core/RunToken.h"
#include "core/Scheduler.h"
#include "core/TextActionSeq.h"
#include "core/WorkflowRuns.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// The input, the result and the machinery between them: the active sequence runs off the main
// thread and its result is published on the main thread, with debounces so typing and editing
// do not start a run per keystroke, and a run token so that only the newest run is shown.
// It knows nothing of selection or storage; it asks its owner through Hooks.
//
//   ResultsController results(scheduler, token, {.changed = ..., .activeSequence = ...});
//   results.setInputString("hello");   // recomputed 0.5 s later
class ResultsController {
public:
    struct Hooks {
        // A field changed: "inputString", "resultString", "resultSteps" or "loadingResults".
        std::function<void(std::string_view field)> changed;
        std::function<TextActionSeqPtr()> activeSequence;
        // The workflows a run can call by id.
        std::function<const std::vector<TextActionSeqPtr>&()> workflows;
        // A live update skipped a sequence that calls the network: it runs only when asked to.
        std::function<void()> networkRunHeldBack;
        // The input debounce ran: the input is worth keeping.
        std::function<void()> inputSettled;
        std::function<void()> copyResult;
        // A run's result was shown (the run history keeps it).
        std::function<void()> resultShown;
    };

    // No automatic recomputation above this many characters of input.
    static constexpr size_t liveInputLimit = 32999;

    ResultsController(Scheduler& scheduler, RunToken& runToken, Hooks hooks);
    ~ResultsController();
    ResultsController(const ResultsController&) = delete;
    ResultsController& operator=(const ResultsController&) = delete;

    // Runs the active sequence over the input. A live update is one the user did not ask for:
    // it is skipped with live results off and for a sequence that calls the network.
    void updateResults(bool live, bool copyAfter);
    // 0.5 s after the last input change: recompute and keep the input (not above the limit).
    void scheduleInputUpdate();
    // 1.0 s after the last change to a workflow's list of actions: recompute.
    void scheduleStructureUpdate();

    const std::string& inputString() const { return m_inputString; }
    void setInputString(std::string input); // schedules the input debounce
    // Shows an input without recomputing (the welcome text of a first start).
    void showInputString(std::string input);
    const std::string& resultString() const { return m_resultString; }
    void setResultString(std::string result);
    // The top-level steps of the run that gave the result, when that run was a workflow's:
    // each card of the workflow editor shows its step's record, and a click shows its output.
    // The outputs are the ones the run produced anyway, moved here rather than copied, and the
    // next result releases them. Keeping them all is the price of showing any step at once
    // without a second run: a five-step run over 10 MB holds about 50 MB more, and texts that
    // large only run when asked (live results stop at liveInputLimit).
    struct ResultSteps {
        std::string workflowId;
        std::vector<StepRecord> steps;
    };
    const ResultSteps& resultSteps() const { return m_resultSteps; }
    bool loadingResults() const { return m_loadingResults; }
    bool liveResults() const { return m_liveResults; }
    void setLiveResults(bool live) { m_liveResults = live; }
    // While true no run starts, asked for or not: during start-up and the debounce windows.
    bool disableUpdateResults() const { return m_disableUpdateResults; }
    void setDisableUpdateResults(bool disable) { m_disableUpdateResults = disable; }
    int pendingUpdateTasks() const { return m_pendingUpdateTasks.load(); }
    RunToken& runToken() { return m_runToken; }

private:
    void publish(const std::string& seqId, const std::string& seqName, RunToken::Value token, std::string result,
                 std::vector<StepRecord> steps, bool copyAfter);

    Scheduler& m_scheduler;
    RunToken& m_runToken;
    Hooks m_hooks;
    std::shared_ptr<bool> m_alive; // runs and their publications check it: the controller may be gone

    std::string m_inputString;
    std::string m_resultString;
    ResultSteps m_resultSteps;
    bool m_loadingResults = false;
    bool m_liveResults = true;
    bool m_disableUpdateResults = false;
    std::atomic<int> m_pendingUpdateTasks{0};
    Debouncer m_inputDebounce;
    Debouncer m_structureDebounce;
};

} // namespace lexorra
