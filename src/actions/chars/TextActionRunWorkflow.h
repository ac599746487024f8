#pragma once

#include "core/TextAction.h"

#include <string>
#include <string_view>

namespace lexorra {

// A workflow as a step of another: runs the enabled actions of the workflow with the id
// "WorkflowID" over its input, through the same runner (run token, cancellation and the
// QR-marker rule apply inside it). A missing workflow or one that would run itself gives a
// marker instead of a result.
//
//   TextActionRunWorkflow step;
//   step.workflowID = tidy->id;   // found through the run's RunEnvironment
class TextActionRunWorkflow : public TextAction {
public:
    TextActionRunWorkflow() : TextAction(TextActionType::runWorkflow) {}

    std::string workflowID;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
};

} // namespace lexorra
