#include "core/AppManager.h"

#include "core/Diagnostics.h"
#include "core/NetworkActivity.h"
#include "core/ObjectStore.h"
#include "core/RunHistory.h"
#include "core/SyncFolder.h"
#include "core/WorkflowLibrary.h"
#include "core/WorkflowRuns.h"
#include "core/WorkflowUndoStack.h"
#include "text/Graphemes.h"

#include <algorithm>

namespace lexorra {
namespace {

// More than `limit` characters, found without walking past the limit: counting every
// cluster of a pasted 10 MB text held the window for a noticeable time.
bool longerThan(std::string_view text, size_t limit) {
    return text::moreGraphemesThan(text, limit);
}

} // namespace

double noticeDuration(const std::string& message) {
    const double seconds = 0.06 * static_cast<double>(text::graphemeCount(message)) + 0.5;
    return std::clamp(seconds, 2.0, 5.0);
}

AppManager::AppManager(Services services)
    : m_services(std::move(services)), m_alive(std::make_shared<bool>(true)),
      m_results(std::make_unique<ResultsController>(
          m_services.scheduler, m_services.runToken ? *m_services.runToken : RunToken::application(),
          ResultsController::Hooks{
              .changed = [this](std::string_view field) { notify(field); },
              .activeSequence = [this] { return m_activeActionsSeq; },
              .workflows = [this]() -> const std::vector<TextActionSeqPtr>& { return m_workflowsSeqArray; },
              .networkRunHeldBack = [this] { later(0.0, [this] { setPushActive(true); }); },
              .inputSettled = [this] { saveInputString(); },
              .copyResult = [this] { copyResult(); },
              .resultShown = [this] { keepRun(); }})),
      m_export({.clipboard = m_services.clipboard,
                .qrCodePng = m_services.qrCodePng,
                .notice = [this](const std::string& message, NoticeStyle style) { showNotice(message, style); }}),
      m_pushDebounce(m_services.scheduler, 1.5, [] { diagnostic("self.updateDBTaskID != taskID"); }),
      m_resumeDebounce(m_services.scheduler, 30.0), m_undo(std::make_unique<WorkflowUndoStack>()) {
    if (!m_services.cancelNetworkTasks) m_services.cancelNetworkTasks = [] { cancelNetworkRequests(); };
    if (m_services.stores)
        m_library = std::make_unique<WorkflowLibrary>(
            m_services.stores,
            WorkflowLibrary::Options{.objectStorePath = m_services.objectStorePath, .machineId = m_services.machineId});
    // The AI action reports its request from the run's thread; the flag lives on the main one.
    setNetworkBusyHandler([this, alive = std::weak_ptr<bool>(m_alive)](bool busy) {
        if (auto a = alive.lock(); !a || !*a) return;
        m_services.scheduler.postMain([this, busy, alive] {
            if (auto a = alive.lock(); a && *a) setLoadingWebResults(busy);
        });
    });
}

AppManager::~AppManager() {
    *m_alive = false;
    setNetworkBusyHandler(nullptr);
    // Its hooks read the members below: it goes, and its runs in flight with it, while they are all here.
    m_results.reset();
    // The fetched list and the sync folder observe the store: drop them first.
    m_syncFolder.reset();
    m_fetchedResultsController.reset();
    m_objectStore.reset();
}

void AppManager::later(double seconds, std::function<void()> task) {
    // Delayed tasks are never cancelled: they check their generation when they fire, and
    // that the controller is still there.
    m_services.scheduler.postMainAfter(seconds, [alive = std::weak_ptr<bool>(m_alive), task = std::move(task)] {
        if (auto a = alive.lock(); a && *a) task();
    });
}

void AppManager::startUp() {
    if (auto stored = m_services.settings.value("LiveResults"); stored && stored->toBool()) {
        m_results->setLiveResults(*stored->toBool());
    } else {
        m_results->setLiveResults(true);
        m_services.settings.setValue("LiveResults", Value(true));
    }
    if (auto stored = m_services.settings.value("ViewTextInfo"); stored && stored->toBool())
        m_viewTextInfo = *stored->toBool();
    if (auto stored = m_services.settings.value(SettingKeyId::keepRunHistory); stored && stored->toBool())
        m_keepRunHistory = *stored->toBool();

    if (auto saved = m_services.settings.value("SavedInputString"); saved && saved->isString()) {
        if (!longerThan(saved->asString(), restoreInputLimit - 1)) {
            setInputString(saved->asString());
        } else {
            // Left by an older version: it would be parsed again at every start and every write.
            m_services.settings.setValue("SavedInputString", Value(std::string()));
        }
    }

    m_results->setDisableUpdateResults(true);
    if (loadWorkflowsHook)
        loadWorkflowsHook(*this);
    else
        loadWorkflowsFromUserDefaults();
    rebuildActionsSeqArray();
    if (auto active = m_services.settings.value("ActiveActionsSeq"); active && active->isString()) {
        const std::string& id = active->asString();
        for (const auto& seq : m_actionsSeqArray)
            if (seq->id == id) setSelectedActionsSeq(seq);
        for (const auto& seq : m_workflowsSeqArray)
            if (seq->id == id) setSelectedworkflowSeq(seq);
    }
    // A first start (or a selection that no longer exists) still shows a result: the first
    // workflow, as an import selects it, else the first action.
    if (!m_activeActionsSeq) {
        if (!m_workflowsSeqArray.empty())
            setSelectedworkflowSeq(m_workflowsSeqArray.front());
        else if (!m_actionsSeqArray.empty())
            setSelectedActionsSeq(m_actionsSeqArray.front());
    }
    m_results->setDisableUpdateResults(false);
    if (selectDefaultAction) scheduleInputUpdate(); // the welcome text's result, and the text saved
    auto sync = m_services.settings.value("iCloudSyncEnabled");
    if (sync && sync->toBool() && *sync->toBool()) setICloudSyncEnabled(true);
    if (m_library) watchStore();
}

void AppManager::rebuildActionsSeqArray() {
    m_actionsSeqArray = makeBuiltInSequences(!m_apiKey.empty());
    notify("actionsSeqArray");
}

void AppManager::setApiKey(std::string key) {
    m_apiKey = std::move(key);
    notify("apiKey");
}

void AppManager::activeSequenceChanged() {
    if (m_services.cancelNetworkTasks) m_services.cancelNetworkTasks();
    setPushActive(false);
    if (m_activeActionsSeq) m_services.settings.setValue("ActiveActionsSeq", Value(m_activeActionsSeq->id));
    bool monospaced = false;
    if (m_activeActionsSeq)
        for (const auto& a : m_activeActionsSeq->actionsArray)
            monospaced = monospaced || a->type == TextActionType::csvToMarkdown;
    m_useMonospacedFont = monospaced;
    notify("useMonospacedFont");
    later(0.05, [this] { setPushActive(true); });
    later(0.35, [this] { updateResults(true, false); });
}

void AppManager::setSelectedworkflowSeq(TextActionSeqPtr seq) {
    if (!seq || (m_selectedworkflowSeqCheck && m_selectedworkflowSeqCheck->id == seq->id)) return;
    m_selectedworkflowSeq = seq;
    m_selectedworkflowSeqCheck = seq;
    notify("selectedworkflowSeq");
    m_activeActionsSeq = std::move(seq);
    setActiveSeqType(SeqType::workFlow);
    notify("activeActionsSeq");
    activeSequenceChanged();
    m_selectedActionsSeqCheck.reset();
    m_selectedActionsSeq.reset();
    notify("selectedActionsSeq");
}

void AppManager::clearSelectedworkflowSeq() {
    m_selectedworkflowSeq.reset();
    notify("selectedworkflowSeq");
}

void AppManager::setSelectedActionsSeq(TextActionSeqPtr seq) {
    if (!seq || (m_selectedActionsSeqCheck && m_selectedActionsSeqCheck->id == seq->id)) return;
    m_selectedActionsSeq = seq;
    m_selectedActionsSeqCheck = seq;
    notify("selectedActionsSeq");
    m_activeActionsSeq = std::move(seq);
    setActiveSeqType(SeqType::action);
    notify("activeActionsSeq");
    activeSequenceChanged();
    m_selectedworkflowSeqCheck.reset();
    m_selectedworkflowSeq.reset();
    notify("selectedworkflowSeq");
}

void AppManager::setActiveSeqType(SeqType type) {
    m_activeSeqType = type;
    notify("activeSeqType");
}

void AppManager::saveInputString() {
    // An input too long to be restored is not worth the bytes of every later settings write.
    const bool restorable = !longerThan(inputString(), restoreInputLimit - 1);
    m_services.settings.setValue("SavedInputString", Value(restorable ? inputString() : std::string()));
}

void AppManager::useResultAsInput() {
    setInputString(resultString());
}

void AppManager::clearInput() {
    setInputString("");
}

void AppManager::clearInputAndResults() {
    setInputString("");
    setResultString("");
}

void AppManager::runActiveSequenceOnClipboard() {
    if (!m_services.clipboard) return;
    auto text = m_services.clipboard->text();
    if (!text || text->empty()) {
        showNotice("No Text on Clipboard", NoticeStyle::error);
        return;
    }
    if (!m_activeActionsSeq) return;
    RunEnvironment environment(lookupIn(m_workflowsSeqArray));
    std::string result = m_activeActionsSeq->run(*text, runToken());
    if (result == cancellationMarker) return;
    setInputString(*text);
    setResultString(result);
    m_services.clipboard->clear();
    m_services.clipboard->setText(result);
    showNotice("Transformed Text on Clipboard", NoticeStyle::success);
}

void AppManager::runWorkflowOnClipboard(const std::string& workflowId) {
    if (!m_services.clipboard) return;
    const auto workflows = m_workflowsSeqArray; // a run must not be disturbed by list edits
    RunEnvironment environment(lookupIn(workflows));
    for (const auto& seq : workflows) {
        if (seq->id != workflowId) continue;
        auto text = m_services.clipboard->text();
        if (!text || text->empty()) {
            showNotice("No Text on Clipboard", NoticeStyle::plain);
            continue;
        }
        std::string result = seq->run(*text, runToken());
        if (result == cancellationMarker) continue;
        m_services.clipboard->clear();
        m_services.clipboard->setText(result);
        showNotice("Transformed Text on Clipboard", NoticeStyle::success);
    }
}

void AppManager::setWorkflowsSeqArray(std::vector<TextActionSeqPtr> list) {
    m_workflowsSeqArray = std::move(list);
    notify("workflowsSeqArray");
    forgetWorkflowEdits(); // a list loaded or replaced whole is where the history starts
}

void AppManager::setPushActive(bool active) {
    m_pushActive = active;
    notify("pushActive");
}

void AppManager::setLoadingWebResults(bool loading) {
    m_loadingWebResults = loading;
    notify("loadingWebResults");
}

void AppManager::setLiveResults(bool live) {
    m_results->setLiveResults(live);
    m_services.settings.setValue("LiveResults", Value(live));
    notify("liveResults");
}

void AppManager::setViewTextInfo(bool view) {
    m_viewTextInfo = view;
    m_services.settings.setValue("ViewTextInfo", Value(view));
    notify("viewTextInfo");
}

TextActionSeqPtr AppManager::findSequence(std::string_view id) const {
    for (const auto& seq : m_actionsSeqArray)
        if (seq->id == id) return seq;
    for (const auto& seq : m_workflowsSeqArray)
        if (seq->id == id) return seq;
    return nullptr;
}

void AppManager::showNotice(const std::string& message, NoticeStyle style) {
    if (m_services.notices) m_services.notices->show(message, style, noticeDuration(message));
}

int AppManager::addObserver(Observer observer) {
    m_observers.emplace_back(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void AppManager::removeObserver(int token) {
    std::erase_if(m_observers, [token](const auto& o) { return o.first == token; });
}

void AppManager::notify(std::string_view field) {
    for (auto& [token, observer] : m_observers)
        observer(field);
}

} // namespace lexorra
