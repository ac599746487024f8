#pragma once

#include "cli/Command.h"
#include "core/TextActionSeq.h"
#include "core/WorkflowRuns.h"

#include <optional>
#include <string>
#include <vector>

namespace lexorra::cli {

// lexorra-cli run: one action or one workflow over stdin or a file.
class RunCommand : public Command {
public:
    void declare(CLI::App& subcommand) override;
    int execute(Io& io) override;

private:
    // Builds the sequence to run, or returns an exit status with the error printed.
    int buildSequence(Io& io, std::shared_ptr<TextActionSeq>& seq);
    int buildFromAction(Io& io, std::shared_ptr<TextActionSeq>& seq);
    int buildFromWorkflowFile(Io& io, std::shared_ptr<TextActionSeq>& seq);
    int applySettings(Io& io, TextAction& action);
    int writeResult(Io& io, const std::string& result) const;
    int writeTrace(Io& io, const std::vector<StepRecord>& trace) const;
    // What a Run Workflow step may call: the other workflows of the file, then the stored ones.
    RunEnvironment::Lookup workflowLookup() const;

    std::string m_action;
    std::string m_actionJson;
    std::string m_workflow;
    std::string m_workflowFile;
    std::vector<std::string> m_settings;
    std::string m_inFile;
    std::string m_outFile;
    std::string m_traceFile;
    std::vector<TextActionSeqPtr> m_fileWorkflows;
};

} // namespace lexorra::cli
