#include "intents/SharedWorkflows.h"

#include "core/SettingsStore.h"
#include "core/WorkflowDocuments.h"

namespace lexorra::intents {

std::optional<std::vector<TextActionSeqPtr>> loadSharedWorkflows(std::string& error) {
    Settings settings;
    auto load = loadWorkflowsFromStores(settings);
    if (load.storeUnreadable) {
        error = load.problem.empty() ? "The shared workflow store cannot be read." : load.problem;
        return std::nullopt;
    }
    return std::move(load.workflows);
}

} // namespace lexorra::intents
