// AppManager's side of the history of runs: the switch, the hand-over of a published result,
// and bringing an earlier run back.
#include "core/AppManager.h"

#include "core/RunHistory.h"

#include <algorithm>

namespace lexorra {

RunHistory& AppManager::runHistory() {
    if (!m_runHistory)
        m_runHistory = m_services.runHistoryPath.empty() ? std::make_unique<RunHistory>()
                                                         : std::make_unique<RunHistory>(m_services.runHistoryPath);
    return *m_runHistory;
}

void AppManager::setKeepRunHistory(bool keep) {
    m_keepRunHistory = keep;
    m_services.settings.setValue(SettingKeyId::keepRunHistory, Value(keep));
    notify("keepRunHistory");
}

void AppManager::keepRun() {
    if (!m_keepRunHistory || !m_activeActionsSeq ||
        !RunHistory::recordable(*m_activeActionsSeq, inputString(), lookupIn(m_workflowsSeqArray)))
        return;
    runHistory().record({.sequenceId = m_activeActionsSeq->id,
                         .sequenceName = m_activeActionsSeq->name,
                         .kind = m_activeSeqType,
                         .input = inputString(),
                         .result = resultString()});
}

bool AppManager::restoreRun(std::int64_t runId) {
    auto run = runHistory().entry(runId);
    auto seq = run ? findSequence(run->sequenceId) : nullptr;
    if (!seq) return false;
    if (std::find(m_workflowsSeqArray.begin(), m_workflowsSeqArray.end(), seq) != m_workflowsSeqArray.end())
        setSelectedworkflowSeq(seq);
    else
        setSelectedActionsSeq(seq);
    setInputString(std::move(run->input));
    return true;
}

} // namespace lexorra
