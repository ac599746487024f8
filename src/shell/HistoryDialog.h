#pragma once

#include "core/AppManager.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace lexorra::shell {

// The kept runs, newest first: when, what ran, how the input began. Restoring one puts its
// input back in the input editor and selects what ran, which computes its result again.
// Delete forgets the selected run.
class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    HistoryDialog(AppManager& app, QWidget* parent = nullptr);
    // Reads the list again (the dialog is kept and shown again).
    void reload();

private:
    void restoreCurrent();
    void deleteCurrent();

    AppManager& m_app;
    QTreeWidget* m_list;
    QLabel* m_hint;
};

} // namespace lexorra::shell
