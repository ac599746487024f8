#include "cli/WorkflowSource.h"

#include "core/SettingsStore.h"
#include "core/WorkflowDocuments.h"

namespace lexorra::cli {

std::shared_ptr<TextActionSeq> findStoredWorkflow(std::string_view nameOrId, std::string* problem) {
    Settings settings;
    auto load = loadWorkflowsFromStores(settings);
    if (load.storeUnreadable) {
        if (problem) *problem = load.problem;
        return nullptr;
    }
    return findWorkflow(load.workflows, nameOrId);
}

} // namespace lexorra::cli
