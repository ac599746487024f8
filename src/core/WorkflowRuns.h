#pragma once

#include "core/TextActionType.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

class TextActionSeq;

// One step of a run as a trace records it. path names nested steps: "3.2" is the second
// step of the workflow that step 3 runs.
struct StepRecord {
    int step = 0;
    std::string path;
    TextActionType kind{};
    std::string title;
    double ms = 0;
    std::string output;
    bool marker = false; // the output is a marker text, not a transformed text
};

// The workflows a run may call by id (a Run Workflow step), and where to record its steps.
// Installed for the calling thread while it lives; the runner and the Run Workflow action
// read it, so callers only say what the run can see:
//
//   std::vector<StepRecord> trace;
//   RunEnvironment env([&](std::string_view id) { return findWorkflow(list, id); }, &trace);
//   auto result = seq->run(input, token);   // trace holds one record per step
class RunEnvironment {
public:
    using Lookup = std::function<std::shared_ptr<const TextActionSeq>(std::string_view id)>;

    explicit RunEnvironment(Lookup lookup, std::vector<StepRecord>* trace = nullptr);
    ~RunEnvironment();
    RunEnvironment(const RunEnvironment&) = delete;
    RunEnvironment& operator=(const RunEnvironment&) = delete;

    // The innermost environment of this thread, or null.
    static RunEnvironment* current();

    std::shared_ptr<const TextActionSeq> find(std::string_view id) const { return m_lookup ? m_lookup(id) : nullptr; }
    std::vector<StepRecord>* trace() const { return m_trace; }

private:
    Lookup m_lookup;
    std::vector<StepRecord>* m_trace;
    RunEnvironment* m_previous;
};

// A lookup over a copy of a list (the list may change while a run goes on elsewhere).
RunEnvironment::Lookup lookupIn(std::vector<std::shared_ptr<TextActionSeq>> workflows);

// Runs the workflow with this id over text from inside a step of the current run, with the
// current run's token: a marker names a missing workflow, another marks one that would run
// itself (directly or through others).
std::string runNestedWorkflow(std::string_view id, std::string_view text);

// The ids of the workflows that `workflow` runs through Run Workflow steps, directly or
// through others, each once, in the order first met; lookup finds them.
std::vector<std::string> workflowsUsedBy(const TextActionSeq& workflow, const RunEnvironment::Lookup& lookup);
// True when running `workflow` would come back to the workflow with id `target` (so a step
// running `workflow` must not be added to `target`).
bool reaches(const TextActionSeq& workflow, std::string_view target, const RunEnvironment::Lookup& lookup);

} // namespace lexorra
