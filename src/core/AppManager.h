#pragma once

#include "core/Clipboard.h"
#include "core/Debouncer.h"
#include "core/ResultExport.h"
#include "core/ResultsController.h"
#include "core/RunToken.h"
#include "core/Scheduler.h"
#include "core/SettingsStore.h"
#include "core/TextAction.h"
#include "core/TextActionSeq.h"
#include "core/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

class Settings;
class ObjectStore;
class WorkflowLibrary;
class FetchedWorkflowRecords;
class SyncFolder;
class WorkflowUndoStack;
class RunHistory;

// A key-value store of user settings as the controller needs it.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<Value> value(SettingName key) const = 0;
    virtual void setValue(SettingName key, const Value& value) = 0;
};

// The application's central state as the front ends see it: the two lists of sequences, the
// selection and the workflow storage, with the input and result of a ResultsController and
// the copying and saving of a ResultExport behind the same names.
//
//   AppManager app({.scheduler = s, .settings = prefs});
//   app.startUp();
//   app.setSelectedActionsSeq(app.actionsSeqArray()[3]);
//   app.setInputString("hello");   // recomputed 0.5 s later
class AppManager : public ResultsHost {
public:
    struct Services {
        Scheduler& scheduler;
        SettingsBackend& settings;
        Clipboard* clipboard = nullptr;
        Notices* notices = nullptr;
        RunToken* runToken = nullptr; // the application's token unless given
        // Cancels the network requests of the previous sequence (the AI action).
        std::function<void()> cancelNetworkTasks;
        // Builds the PNG of a QR result, for copying and saving.
        std::function<std::optional<std::vector<unsigned char>>(const std::string&)> qrCodePng;
        // The settings stores and workflow storage; without them the list lives in memory.
        Settings* stores = nullptr;
        // Where the object store lives and the machine it speaks for; empty for the defaults.
        std::string objectStorePath;
        std::string machineId;
        // Where the history of runs is kept; empty for the default place.
        std::string runHistoryPath;
    };
    using Observer = std::function<void(std::string_view field)>;

    explicit AppManager(Services services);
    ~AppManager() override;
    AppManager(const AppManager&) = delete;
    AppManager& operator=(const AppManager&) = delete;

    // Start-up in order: settings, saved input, workflows and built-in sequences with the
    // selection restored, then the sync switch.
    void startUp();
    // Replaces the stored workflow list at start (tests without stores use it).
    std::function<void(AppManager&)> loadWorkflowsHook;

    // ResultsHost
    Scheduler& scheduler() override { return m_services.scheduler; }
    void updateResults(bool live, bool copyAfter) override { m_results->updateResults(live, copyAfter); }
    void saveWorkFlowsToUserDefaults(bool updateDB) override;

    void scheduleInputUpdate() { m_results->scheduleInputUpdate(); }
    void scheduleStructureUpdate() { m_results->scheduleStructureUpdate(); }
    void activeSequenceChanged();
    void copyResult() { m_export.copy(resultString()); }
    void saveInputString();

    // Workflow storage (the stores of Services; see AppManagerStorage.cpp).
    void loadWorkflowsFromUserDefaults();
    void updateDB();
    void saveAllWorkflowsToDB();
    void loadWorkflowsFromDB();
    void controllerDidChangeContent() { loadWorkflowsFromDB(); }
    void deleteWorkflow(const std::string& id);
    // "Delete all workflows": one edit, taken back as one.
    void deleteWorkflows(const std::vector<std::string>& ids);
    bool exportWorkflows(const std::string& file, const std::string& idOrAll, std::string* error = nullptr);
    // False when the file cannot be read or parsed (the "Could not load file." alert).
    bool importWorkflows(const std::string& file);
    void loadDefaultWorkflows();
    bool iCloudSyncEnabled() const { return m_iCloudSyncEnabled; }
    void setICloudSyncEnabled(bool enabled);
    TextActionSeqPtr createWorkflow(const std::string& name);
    TextActionSeqPtr duplicateWorkflow(const std::string& id);
    // Reorders a workflow's actions (drag and drop, move up/down) as a user edit: the list
    // is saved and the result recomputed after the structure debounce. False when nothing moved.
    bool moveAction(const TextActionSeqPtr& workflow, size_t from, size_t to);
    // Takes back the newest edit of the workflow list (redo: does it again), saved and pushed
    // like any edit; the workflow it touched becomes the selection. False when there is none.
    // Observers hear "workflowUndo" whenever what can be undone or redone changes.
    bool undoWorkflowEdit() { return stepWorkflowEdit(true); }
    bool redoWorkflowEdit() { return stepWorkflowEdit(false); }
    const WorkflowUndoStack& workflowUndo() const { return *m_undo; }
    // The list as it now is becomes the start of the undo history (the window calls it once
    // it has put back its own memory of switched-off steps, which is no edit).
    void forgetWorkflowEdits();
    ObjectStore* objectStore() const { return m_objectStore.get(); }
    SyncFolder* syncFolder() const { return m_syncFolder.get(); }
    bool pauseWorkflowUpdatesFromDB() const { return m_pauseWorkflowUpdatesFromDB; }
    WorkflowLibrary* library() const { return m_library.get(); }
    // Takes in what other programs wrote to the stored list since this one last read or
    // wrote it (the window polls it every second).
    void followOtherWriters();
    // Why the workflow list cannot be saved (the stored list cannot be read); empty when it can.
    const std::string& storeProblem() const { return m_storeProblem; }
    // Renames an unreadable stored list aside and starts from the default workflows; the
    // path it was kept at, or empty when it could not be renamed.
    std::string setAsideUnreadableStore();

    // The history of runs: kept only while the user wants it ("KeepRunHistory"), but
    // always there to be read and cleared (see AppManagerHistory.cpp).
    RunHistory& runHistory();
    bool keepRunHistory() const { return m_keepRunHistory; }
    void setKeepRunHistory(bool keep);
    // Puts the input of an earlier run (by its id in the history) back and selects what ran;
    // false when the run or its action or workflow is gone.
    bool restoreRun(std::int64_t runId);

    // User commands.
    void runSelected() { updateResults(false, false); }
    void runSelectedAndCopy() { updateResults(false, true); }
    void useResultAsInput();
    void clearInput();
    void clearInputAndResults();
    // "Run selected Workflow to clipboard".
    void runActiveSequenceOnClipboard();
    // A workflow button of the tray popover.
    void runWorkflowOnClipboard(const std::string& workflowId);
    // "Load Input from text file": false when the file cannot be read.
    bool loadInputFromFile(const std::string& file);
    // "Run Selected to text file": runs the active sequence over the file and writes the
    // result next to it ("name.lexorra.txt") unless a path is given; never over the input.
    bool runSelectedToFile(const std::string& file, const std::string& output, std::string* written);
    // "Save result to file": a QR result as PNG, any other result as UTF-8 text.
    bool saveResultToFile(const std::string& file);

    // Fields.
    const std::string& apiKey() const { return m_apiKey; }
    void setApiKey(std::string key);
    bool selectDefaultAction = false;
    bool useMonospacedFont() const { return m_useMonospacedFont; }
    const std::vector<TextActionSeqPtr>& actionsSeqArray() const { return m_actionsSeqArray; }
    const std::vector<TextActionSeqPtr>& workflowsSeqArray() const { return m_workflowsSeqArray; }
    std::vector<TextActionSeqPtr>& mutableWorkflows() { return m_workflowsSeqArray; }
    void setWorkflowsSeqArray(std::vector<TextActionSeqPtr> list);
    void rebuildActionsSeqArray();
    bool pushActive() const { return m_pushActive; }
    void setPushActive(bool active);
    bool loadingResults() const { return m_results->loadingResults(); }
    bool loadingWebResults() const { return m_loadingWebResults; }
    void setLoadingWebResults(bool loading);
    const TextActionSeqPtr& selectedActionsSeq() const { return m_selectedActionsSeq; }
    void setSelectedActionsSeq(TextActionSeqPtr seq);
    const TextActionSeqPtr& selectedworkflowSeq() const { return m_selectedworkflowSeq; }
    void setSelectedworkflowSeq(TextActionSeqPtr seq);
    void clearSelectedworkflowSeq();
    const TextActionSeqPtr& activeActionsSeq() const { return m_activeActionsSeq; }
    SeqType activeSeqType() const { return m_activeSeqType; }
    void setActiveSeqType(SeqType type);
    bool liveResults() const { return m_results->liveResults(); }
    void setLiveResults(bool live);
    bool viewTextInfo() const { return m_viewTextInfo; }
    void setViewTextInfo(bool view);
    const std::string& inputString() const { return m_results->inputString(); }
    void setInputString(std::string input) { m_results->setInputString(std::move(input)); } // after the debounce
    const std::string& resultString() const { return m_results->resultString(); }
    void setResultString(std::string result) { m_results->setResultString(std::move(result)); }
    using ResultSteps = ResultsController::ResultSteps;
    const ResultSteps& resultSteps() const { return m_results->resultSteps(); }
    bool disableUpdateResults() const { return m_results->disableUpdateResults(); }
    int pendingUpdateTasks() const { return m_results->pendingUpdateTasks(); }
    RunToken& runToken() { return m_results->runToken(); }

    // Looks a sequence up among the built-in sequences and the workflows.
    TextActionSeqPtr findSequence(std::string_view id) const;

    int addObserver(Observer observer);
    void removeObserver(int token);

    static constexpr size_t liveInputLimit = ResultsController::liveInputLimit;
    static constexpr size_t restoreInputLimit = 20000;

private:
    void notify(std::string_view field);
    void later(double seconds, std::function<void()> task);
    void showNotice(const std::string& message, NoticeStyle style);

    Services m_services;
    std::shared_ptr<bool> m_alive; // delayed tasks check it: the controller may be gone
    std::unique_ptr<ResultsController> m_results;
    ResultExport m_export;

    std::string m_apiKey;
    bool m_useMonospacedFont = false;
    std::vector<TextActionSeqPtr> m_actionsSeqArray;
    std::vector<TextActionSeqPtr> m_workflowsSeqArray;
    bool m_pushActive = true;
    bool m_loadingWebResults = false;
    TextActionSeqPtr m_selectedActionsSeqCheck;
    TextActionSeqPtr m_selectedActionsSeq;
    bool m_viewTextInfo = false;
    TextActionSeqPtr m_selectedworkflowSeqCheck;
    TextActionSeqPtr m_selectedworkflowSeq;
    TextActionSeqPtr m_activeActionsSeq;
    SeqType m_activeSeqType = SeqType::action;

    std::vector<std::pair<int, Observer>> m_observers;
    int m_nextObserver = 1;

    // Storage state.
    bool m_iCloudSyncEnabled = false;
    bool m_dbHasChanges = false;
    bool m_pauseWorkflowUpdatesFromDB = false;
    // The push to the object store 1.5 s after the last edit, and the end of the 30 s in
    // which changes from the store wait, so that they do not undo edits not yet pushed.
    Debouncer m_pushDebounce;
    Debouncer m_resumeDebounce;
    std::unique_ptr<ObjectStore> m_objectStore;
    std::unique_ptr<FetchedWorkflowRecords> m_fetchedResultsController;
    std::unique_ptr<SyncFolder> m_syncFolder;
    bool openObjectStore();
    void importSteps(std::vector<TextActionSeqPtr> workflows);
    void reconcileWithStore();
    void watchStore();
    void setStoreProblem(std::string problem);
    // After the selected workflow went away: its neighbour, else the first action.
    void selectAfterRemoving(size_t index);
    bool stepWorkflowEdit(bool back);
    // Records what the user changed in the list since the last step; `m_editLabel` names it.
    void recordWorkflowEdit();
    void adoptOtherWriters(const std::vector<std::string>& ids);
    std::unique_ptr<WorkflowUndoStack> m_undo;
    // Hands the result just published to the history, when it is kept and may be.
    void keepRun();
    std::unique_ptr<RunHistory> m_runHistory;
    bool m_keepRunHistory = false;
    std::string m_editLabel;

    std::unique_ptr<WorkflowLibrary> m_library;
    std::string m_storeProblem;
    // Workflows edited here since the last push to the object store: only they are pushed,
    // so a change that arrived from another machine meanwhile is never pushed back stale.
    std::set<std::string> m_unpushed;
    bool m_pushEverything = false;
};

// The standard store of Settings as the controller's SettingsBackend.
class StoredSettings : public SettingsBackend {
public:
    explicit StoredSettings(Settings& settings) : m_settings(settings) {}
    std::optional<Value> value(SettingName key) const override;
    void setValue(SettingName key, const Value& value) override;

private:
    Settings& m_settings;
};

} // namespace lexorra
