#include "intents/SharedWorkflows.h"

#include "core/WorkflowLibrary.h"

namespace lexorra::intents {

std::optional<std::vector<TextActionSeqPtr>> loadSharedWorkflows(std::string& error) {
    return WorkflowLibrary().current(&error);
}

} // namespace lexorra::intents
