// The workflow-list storage operations of AppManager: the shared group store, the object
// store with its debounced pushes and merges, the sync folder, and the exchange files.
#include "core/AppManager.h"

#include "core/Diagnostics.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "core/TextFile.h"
#include "core/WorkflowDocuments.h"
#include "core/WorkflowLibrary.h"
#include "core/WorkflowMirror.h"
#include "core/WorkflowRuns.h"
#include "core/WorkflowUndoStack.h"

#include <algorithm>
#include <filesystem>

namespace lexorra {

std::optional<Value> StoredSettings::value(SettingName key) const {
    return m_settings.value(key);
}

void StoredSettings::setValue(SettingName key, const Value& value) {
    m_settings.setValue(key, value);
}

namespace {
// The first-start input: what the application is and how to begin.
constexpr std::string_view welcomeText =
    "Welcome to Lexorra!\n\nPaste or type your text here, pick an action or a workflow on the left, and the "
    "result appears below as you type. Combine actions into workflows of your own; they run from the tray "
    "on your clipboard too.";
} // namespace

void AppManager::saveWorkFlowsToUserDefaults(bool updateDBToo) {
    recordWorkflowEdit();
    if (m_library) reconcileWithStore();
    if (updateDBToo && m_iCloudSyncEnabled) updateDB();
}

void AppManager::reconcileWithStore() {
    const std::string selectedName = m_selectedworkflowSeq ? m_selectedworkflowSeq->name : std::string();
    const std::string selectedId = m_selectedworkflowSeq ? m_selectedworkflowSeq->id : std::string();
    size_t selectedIndex = 0;
    for (size_t i = 0; i < m_workflowsSeqArray.size(); ++i)
        if (m_workflowsSeqArray[i] == m_selectedworkflowSeq) selectedIndex = i;

    auto outcome = m_library->reconcile(m_workflowsSeqArray);
    if (!outcome.saved) {
        diagnostic(outcome.problem);
        if (outcome.unreadable) setStoreProblem(outcome.problem);
        return;
    }
    setStoreProblem({});
    m_unpushed.insert(outcome.local.begin(), outcome.local.end());
    if (!outcome.changedList()) return;

    auto has = [](const std::vector<std::string>& ids, const std::string& id) {
        return !id.empty() && std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    notify("workflowsSeqArray");
    // After the window has put back its memory of switched-off steps, which is no edit either.
    std::vector<std::string> theirs = outcome.added;
    theirs.insert(theirs.end(), outcome.removed.begin(), outcome.removed.end());
    theirs.insert(theirs.end(), outcome.updated.begin(), outcome.updated.end());
    adoptOtherWriters(theirs);
    if (has(outcome.removed, selectedId)) {
        showNotice("\u201c" + selectedName + "\u201d was deleted in another program", NoticeStyle::plain);
        selectAfterRemoving(selectedIndex);
    } else if (has(outcome.updated, selectedId)) {
        // The open editor shows the old actions: close it and let it reopen on the new ones.
        notify("objectWillChange");
        setPushActive(false);
        later(0.15, [this] { setPushActive(true); });
        scheduleStructureUpdate();
    }
}

void AppManager::followOtherWriters() {
    if (!m_library || !m_library->changedOnDisk()) return;
    recordWorkflowEdit(); // what the user changed here is a step, and theirs is not part of it
    reconcileWithStore();
}

void AppManager::watchStore() {
    later(1.0, [this] {
        followOtherWriters();
        watchStore();
    });
}

void AppManager::setStoreProblem(std::string problem) {
    if (problem == m_storeProblem) return;
    m_storeProblem = std::move(problem);
    notify("storeProblem");
}

std::string AppManager::setAsideUnreadableStore() {
    if (!m_library) return {};
    std::string problem;
    auto aside = m_library->setAsideUnreadableStore(&problem);
    if (!aside) {
        diagnostic(problem);
        return {};
    }
    setStoreProblem({});
    loadWorkflowsFromUserDefaults();
    if (!m_workflowsSeqArray.empty()) setSelectedworkflowSeq(m_workflowsSeqArray.front());
    return aside->string();
}

void AppManager::selectAfterRemoving(size_t index) {
    m_selectedworkflowSeq.reset();
    m_selectedworkflowSeqCheck.reset();
    notify("selectedworkflowSeq");
    if (!m_workflowsSeqArray.empty()) {
        setSelectedworkflowSeq(m_workflowsSeqArray[std::min(index, m_workflowsSeqArray.size() - 1)]);
    } else if (!m_actionsSeqArray.empty()) {
        m_selectedActionsSeqCheck.reset();
        setSelectedActionsSeq(m_actionsSeqArray.front());
    } else {
        m_activeActionsSeq.reset();
        notify("activeActionsSeq");
    }
}

void AppManager::loadWorkflowsFromUserDefaults() {
    m_workflowsSeqArray.clear();
    m_selectedworkflowSeq.reset();
    if (!m_library) {
        notify("workflowsSeqArray");
        return;
    }
    auto load = m_library->load();
    if (load.storeUnreadable) {
        diagnostic(load.problem);
        setStoreProblem(load.problem);
    }
    if (load.firstStart) {
        m_results->showInputString(std::string(welcomeText));
        selectDefaultAction = true;
    }
    setWorkflowsSeqArray(std::move(load.workflows));
    if (load.defaultsAdded) setActiveSeqType(SeqType::action);
}

void AppManager::updateDB() {
    m_pauseWorkflowUpdatesFromDB = true;
    m_pushDebounce.schedule([this] { saveAllWorkflowsToDB(); });
    m_resumeDebounce.schedule([this] {
        m_pauseWorkflowUpdatesFromDB = false;
        loadWorkflowsFromDB();
    });
}

void AppManager::saveAllWorkflowsToDB() {
    if (!m_iCloudSyncEnabled || !m_objectStore) return;
    std::vector<TextActionSeqPtr> edited;
    for (const auto& seq : m_workflowsSeqArray)
        if (m_pushEverything || m_unpushed.contains(seq->id)) edited.push_back(seq);
    m_pushEverything = false;
    m_unpushed.clear();
    std::string error;
    m_dbHasChanges = pushWorkflowsToStore(*m_objectStore, edited, &error);
}

void AppManager::loadWorkflowsFromDB() {
    if (!m_iCloudSyncEnabled || m_pauseWorkflowUpdatesFromDB || !m_fetchedResultsController) return;
    std::vector<std::string> changed;
    const auto records = m_fetchedResultsController->fetchedObjects();
    for (const auto& record : records) {
        auto it = std::find_if(m_workflowsSeqArray.begin(), m_workflowsSeqArray.end(),
                               [&](const auto& seq) { return seq->id == record.id; });
        if (it == m_workflowsSeqArray.end()) {
            if (record.hidden) continue;
            if (auto seq = TextActionSeq::fromJsonString(record.jsonString)) {
                seq->allowToEdit = true;
                m_workflowsSeqArray.push_back(seq);
                changed.push_back(record.id);
            }
        } else if (record.hidden) {
            const std::string id = record.id;
            std::erase_if(m_workflowsSeqArray, [&](const auto& seq) { return seq->id == id; });
            changed.push_back(id);
        } else if (record.jsonString != (*it)->jsonString()) {
            if (auto parsed = TextActionSeq::fromJsonString(record.jsonString)) {
                notify("objectWillChange");
                setPushActive(false);
                (*it)->name = parsed->name;
                (*it)->actionsArray = parsed->actionsArray;
                changed.push_back(record.id);
                later(0.15, [this] { setPushActive(true); });
            }
        }
    }
    if (!changed.empty()) {
        notify("workflowsSeqArray");
        adoptOtherWriters(changed);
    }
    later(5.0, [this] { saveWorkFlowsToUserDefaults(false); });
}

bool AppManager::openObjectStore() {
    if (m_objectStore) return true;
    std::string error;
    const std::filesystem::path path = m_services.objectStorePath.empty()
                                           ? ObjectStore::defaultPath()
                                           : std::filesystem::path(m_services.objectStorePath);
    m_objectStore =
        ObjectStore::open(path, m_services.machineId.empty() ? localMachineId() : m_services.machineId, &error);
    if (!m_objectStore) {
        diagnostic(error);
        return false;
    }
    return true;
}

void AppManager::setICloudSyncEnabled(bool enabled) {
    m_iCloudSyncEnabled = enabled;
    m_services.settings.setValue("iCloudSyncEnabled", Value(enabled));
    notify("iCloudSyncEnabled");
    if (!enabled) {
        if (m_fetchedResultsController) m_fetchedResultsController->setDelegate(nullptr);
        m_syncFolder.reset();
        m_fetchedResultsController.reset();
        return;
    }
    if (!openObjectStore()) return; // go on without the store, as with sync off
    m_pushEverything = true;
    m_fetchedResultsController = std::make_unique<FetchedWorkflowRecords>(*m_objectStore);
    m_fetchedResultsController->setDelegate([this] { controllerDidChangeContent(); });
    m_fetchedResultsController->performFetch();
    if (m_services.stores) {
        m_syncFolder = std::make_unique<SyncFolder>(*m_objectStore, m_services.stores->syncFolder());
        m_syncFolder->startPolling(m_services.scheduler);
    }
    later(10.0, [this] { updateDB(); });
}

void AppManager::deleteWorkflow(const std::string& id) {
    const auto at = std::find_if(m_workflowsSeqArray.begin(), m_workflowsSeqArray.end(),
                                 [&](const auto& seq) { return seq->id == id; });
    const size_t index = static_cast<size_t>(at - m_workflowsSeqArray.begin());
    const bool wasSelected = m_selectedworkflowSeq && m_selectedworkflowSeq->id == id;
    if (wasSelected) {
        notify("objectWillChange");
        m_selectedworkflowSeq.reset();
        m_selectedworkflowSeqCheck.reset();
        if (m_activeActionsSeq && m_activeActionsSeq->id == id) m_activeActionsSeq.reset();
        notify("selectedworkflowSeq");
    }
    std::erase_if(m_workflowsSeqArray, [&](const auto& seq) { return seq->id == id; });
    notify("workflowsSeqArray");
    if (m_iCloudSyncEnabled && m_objectStore) {
        std::string error;
        if (!hideWorkflowRecord(*m_objectStore, id, &error) && !error.empty()) diagnostic(error);
    }
    m_editLabel = "Delete Workflow";
    saveWorkFlowsToUserDefaults(true);
    // Never leave a dead editor behind: the neighbour takes the selection.
    if (wasSelected) selectAfterRemoving(index);
}

bool AppManager::exportWorkflows(const std::string& file, const std::string& idOrAll, std::string* error) {
    const std::string selector = idOrAll == "all" ? std::string() : idOrAll;
    return writeExchangeFile(file, selectForExport(m_workflowsSeqArray, selector), error);
}

void AppManager::importSteps(std::vector<TextActionSeqPtr> workflows) {
    for (auto& seq : workflows) {
        seq->allowToEdit = true;
        m_workflowsSeqArray.push_back(std::move(seq));
    }
    notify("workflowsSeqArray");
    if (!m_workflowsSeqArray.empty()) setSelectedworkflowSeq(m_workflowsSeqArray.front());
    m_editLabel = "Import Workflows";
    saveWorkFlowsToUserDefaults(true);
}

bool AppManager::importWorkflows(const std::string& file) {
    auto result = readExchangeFile(file, ImportIds::fresh);
    if (!result.loaded) return false;
    importSteps(std::move(result.workflows));
    return true;
}

void AppManager::loadDefaultWorkflows() {
    importSteps(loadDefaultWorkflowList());
    setActiveSeqType(SeqType::action);
}

TextActionSeqPtr AppManager::createWorkflow(const std::string& name) {
    auto seq = std::make_shared<TextActionSeq>(name);
    seq->allowToEdit = true;
    m_workflowsSeqArray.push_back(seq);
    notify("workflowsSeqArray");
    m_editLabel = "New Workflow";
    saveWorkFlowsToUserDefaults(true);
    return seq;
}

TextActionSeqPtr AppManager::duplicateWorkflow(const std::string& id) {
    for (const auto& seq : m_workflowsSeqArray) {
        if (seq->id != id) continue;
        auto copy = seq->copy();
        copy->name = seq->name + " copy";
        m_workflowsSeqArray.push_back(copy);
        notify("workflowsSeqArray");
        m_editLabel = "Duplicate Workflow";
        saveWorkFlowsToUserDefaults(true);
        return copy;
    }
    return nullptr;
}

bool AppManager::loadInputFromFile(const std::string& file) {
    auto text = readTextFile(file);
    if (!text) return false;
    setInputString(std::move(*text));
    return true;
}

bool AppManager::runSelectedToFile(const std::string& file, const std::string& output, std::string* written) {
    return m_activeActionsSeq &&
           ResultExport::runToFile(*m_activeActionsSeq, m_workflowsSeqArray, file, output, written);
}

bool AppManager::saveResultToFile(const std::string& file) {
    return m_export.save(resultString(), file);
}

} // namespace lexorra
