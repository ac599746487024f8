#pragma once

#include "core/AppManager.h"

#include <QWidget>

class QVBoxLayout;
class QLineEdit;

namespace lexorra::shell {

// Edits one workflow: its name, and a card per action with an enable switch, an
// expand/collapse button bound to showDetails, the generated option panel, move up/down
// and remove; an "Add action" picker at the end.
class WorkflowEditor : public QWidget {
    Q_OBJECT

public:
    WorkflowEditor(TextActionSeqPtr workflow, AppManager& app, QWidget* parent = nullptr);

signals:
    void workflowRenamed();

private:
    void rebuildCards();
    void structureChanged();

    TextActionSeqPtr m_workflow;
    AppManager& m_app;
    QLineEdit* m_name;
    QVBoxLayout* m_cards;
};

} // namespace lexorra::shell
