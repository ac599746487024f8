// The user's edits of the workflow list as AppManager takes them: the moves of steps, and
// undo and redo over the list.
#include "core/AppManager.h"

#include "core/Diagnostics.h"
#include "core/ObjectStore.h"
#include "core/WorkflowMirror.h"
#include "core/WorkflowUndoStack.h"

#include <algorithm>
#include <utility>

namespace lexorra {

bool AppManager::moveAction(const TextActionSeqPtr& workflow, size_t from, size_t to) {
    if (!workflow || !workflow->moveAction(from, to)) return false;
    scheduleStructureUpdate();
    saveWorkFlowsToUserDefaults(true);
    return true;
}

void AppManager::deleteWorkflows(const std::vector<std::string>& ids) {
    recordWorkflowEdit(); // an edit still in its debounce stays a step of its own
    const size_t before = m_undo->recorded();
    for (const auto& id : ids)
        deleteWorkflow(id);
    m_undo->joinNewest(m_undo->recorded() - before, "Delete Workflows");
    notify("workflowUndo");
}

void AppManager::recordWorkflowEdit() {
    if (m_undo->record(m_workflowsSeqArray, std::exchange(m_editLabel, {}))) notify("workflowUndo");
}

void AppManager::adoptOtherWriters(const std::vector<std::string>& ids) {
    if (m_undo->adopt(m_workflowsSeqArray, ids)) notify("workflowUndo");
}

void AppManager::forgetWorkflowEdits() {
    m_undo->reset(m_workflowsSeqArray);
    notify("workflowUndo");
}

bool AppManager::stepWorkflowEdit(bool back) {
    // An edit still inside its debounce (an option being typed) is the newest step.
    recordWorkflowEdit();
    const std::string selectedId = m_selectedworkflowSeq ? m_selectedworkflowSeq->id : std::string();
    size_t selectedIndex = 0;
    for (size_t i = 0; i < m_workflowsSeqArray.size(); ++i)
        if (m_workflowsSeqArray[i]->id == selectedId) selectedIndex = i;

    auto applied = back ? m_undo->undo(m_workflowsSeqArray) : m_undo->redo(m_workflowsSeqArray);
    if (!applied) return false;
    // A workflow the step takes away goes as a deletion does; one it brings back has a new
    // id, so the store and the other machines see a new workflow.
    if (m_iCloudSyncEnabled && m_objectStore)
        for (const auto& id : applied->removed) {
            std::string error;
            if (!hideWorkflowRecord(*m_objectStore, id, &error) && !error.empty()) diagnostic(error);
        }
    m_unpushed.insert(applied->changed.begin(), applied->changed.end());

    const bool selectedGone =
        !selectedId.empty() && std::none_of(m_workflowsSeqArray.begin(), m_workflowsSeqArray.end(),
                                            [&](const auto& seq) { return seq->id == selectedId; });
    notify("objectWillChange");
    notify("workflowsSeqArray");
    if (auto focus = findSequence(applied->focus); focus && focus->id != selectedId) {
        setSelectedworkflowSeq(focus);
    } else if (selectedGone) {
        selectAfterRemoving(selectedIndex);
    } else {
        // The same workflow stays selected: its editor shows the old state until rebuilt.
        setPushActive(false);
        later(0.15, [this] { setPushActive(true); });
    }
    scheduleStructureUpdate();
    saveWorkFlowsToUserDefaults(true);
    notify("workflowUndo");
    return true;
}

} // namespace lexorra
