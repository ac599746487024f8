#include "actions/chars/TextActionRunWorkflow.h"

#include "core/WorkflowRuns.h"

namespace lexorra {

const OptionList& TextActionRunWorkflow::options() const {
    using A = TextActionRunWorkflow;
    static const OptionList decls = {
        bind({.key = "WorkflowID", .label = "Workflow:", .kind = OptionKind::workflow, .hint = "The workflow to run"},
             &A::workflowID),
    };
    return decls;
}

std::string TextActionRunWorkflow::transform(std::string_view text) const { return runNestedWorkflow(workflowID, text); }

LEXORRA_ACTION_FACTORY(TextActionRunWorkflow)

} // namespace lexorra
