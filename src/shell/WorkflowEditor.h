#pragma once

#include "core/AppManager.h"

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QVBoxLayout;
class QLineEdit;
class QFrame;
class QMimeData;

namespace lexorra::shell {

class StepCard;

// Edits one workflow: its name, and a card per action with a drag handle, an enable
// switch, an expand/collapse button bound to showDetails, the generated option panel,
// move up/down and remove; an "Add action" picker at the end. Cards are reordered by
// dragging them by the handle; a line shows where the card will land. Each card shows what its
// step produced in the latest run; clicking it shows that output in the result pane.
class WorkflowEditor : public QWidget {
    Q_OBJECT

public:
    WorkflowEditor(TextActionSeqPtr workflow, AppManager& app, QWidget* parent = nullptr);

    // The one way the editor reorders: the action at `from` ends at index `to`, through
    // the controller so that the list is saved and the result recomputed.
    bool moveAction(size_t from, size_t to);

    // What a card carries while it is dragged: the workflow and the card's index.
    static QMimeData* cardMimeData(const std::string& workflowId, size_t index);
    static constexpr const char* cardMimeType = "application/x-lexorra-action-card";

    // The gap a drop at `pos` (editor coordinates) lands in: 0 before the first card,
    // count after the last.
    size_t dropSlotAt(QPoint pos) const;
    // The line that marks the gap while a card is dragged over the editor.
    QFrame* dropIndicator() const { return m_indicator; }
    // Puts the keyboard in the name field, its text selected for typing over.
    void focusName();

    // Shows each card's outcome in the latest result's run, which also ends any step view.
    void showOutcomes();
    // The step whose output the result pane shows instead of the final result, and its record.
    std::optional<size_t> viewedStep() const { return m_viewedStep; }
    const StepRecord* viewedRecord() const { return m_viewedStep ? recordOf(*m_viewedStep) : nullptr; }
    // Only a step with an outcome can be viewed; nullopt goes back to the final result.
    void setViewedStep(std::optional<size_t> index);

signals:
    void viewedStepChanged();
    void workflowRenamed();
    // A step was switched on or off, or an option changed.
    void actionStateChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void rebuildCards();
    void structureChanged();
    void startDrag(size_t index);
    // The index of the dragged card, when the data is a card of this workflow.
    std::optional<size_t> draggedIndex(const QMimeData* mime) const;
    void showIndicator(size_t slot);
    // The latest run's record of the step at `index`, when it still describes that card.
    const StepRecord* recordOf(size_t index) const;

    TextActionSeqPtr m_workflow;
    // The workflows a Run Workflow step of this one may run: none that would come back here.
    std::vector<std::pair<std::string, std::string>> workflowChoices() const;
    AppManager& m_app;
    QLineEdit* m_name;
    QVBoxLayout* m_cards;
    std::vector<StepCard*> m_cardFrames;
    // Cleared when steps are added, removed or moved: the records speak of the order before.
    bool m_outcomesCurrent = true;
    std::optional<size_t> m_viewedStep;
    QFrame* m_indicator;
    bool m_dragging = false;
    std::optional<std::pair<size_t, size_t>> m_pendingMove;
};

} // namespace lexorra::shell
