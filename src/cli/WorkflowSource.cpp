#include "cli/WorkflowSource.h"

namespace lexorra::cli {

// The workflow stores are not readable from the command line yet: no stored workflow
// can be found, which reports an unknown workflow.
std::shared_ptr<TextActionSeq> findStoredWorkflow(std::string_view) { return nullptr; }

} // namespace lexorra::cli
