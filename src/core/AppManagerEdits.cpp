#include "core/AppManager.h"

namespace lexorra {

bool AppManager::moveAction(const TextActionSeqPtr& workflow, size_t from, size_t to) {
    if (!workflow || !workflow->moveAction(from, to)) return false;
    scheduleStructureUpdate();
    saveWorkFlowsToUserDefaults(true);
    return true;
}

} // namespace lexorra
