#include "shell/HistoryDialog.h"

#include "core/RunHistory.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lexorra::shell {
namespace {

constexpr int runIdRole = Qt::UserRole + 1;

} // namespace

HistoryDialog::HistoryDialog(AppManager& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName("historyDialog");
    setWindowTitle(tr("History"));
    resize(640, 420);
    auto* layout = new QVBoxLayout(this);
    m_hint = new QLabel(tr("No history is being kept. Switch it on in Preferences: \"Keep a history of runs\"."), this);
    m_hint->setObjectName("historyOffLabel");
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);
    m_list = new QTreeWidget(this);
    m_list->setObjectName("historyTreeWidget");
    m_list->setHeaderLabels({tr("Time"), tr("Action or Workflow"), tr("Input")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* restore = buttons->addButton(tr("Restore Input and Selection"), QDialogButtonBox::AcceptRole);
    restore->setObjectName("restoreRunButton");
    auto* forget = buttons->addButton(tr("Delete"), QDialogButtonBox::ActionRole);
    forget->setObjectName("deleteRunButton");
    forget->setToolTip(tr("Forget this run (Delete)"));
    layout->addWidget(buttons);
    connect(forget, &QPushButton::clicked, this, &HistoryDialog::deleteCurrent);
    auto* deleteKey = new QShortcut(QKeySequence::Delete, m_list);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &HistoryDialog::deleteCurrent);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore, &QPushButton::clicked, this, &HistoryDialog::restoreCurrent);
    connect(m_list, &QTreeWidget::itemActivated, this, &HistoryDialog::restoreCurrent);
    reload();
}

void HistoryDialog::reload() {
    m_hint->setVisible(!m_app.keepRunHistory());
    m_list->clear();
    for (const auto& run : m_app.runHistory().entries()) {
        const auto when = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(run.time * 1000));
        QString start = QString::fromStdString(run.input).simplified();
        if (start.size() > 80) start = start.left(80) + "…";
        auto* item = new QTreeWidgetItem(
            m_list, {QLocale().toString(when, QLocale::ShortFormat), QString::fromStdString(run.sequenceName), start});
        item->setData(0, runIdRole, QVariant::fromValue<qint64>(run.id));
    }
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
    for (int column : {0, 1})
        m_list->resizeColumnToContents(column);
}

void HistoryDialog::deleteCurrent() {
    auto* item = m_list->currentItem();
    if (!item) return;
    const int row = m_list->indexOfTopLevelItem(item);
    m_app.runHistory().remove(item->data(0, runIdRole).toLongLong());
    delete item;
    // The next run down takes the selection, so that Delete can go on.
    if (auto* next = m_list->topLevelItem(std::min(row, m_list->topLevelItemCount() - 1))) m_list->setCurrentItem(next);
}

void HistoryDialog::restoreCurrent() {
    auto* item = m_list->currentItem();
    if (!item) return;
    if (m_app.restoreRun(item->data(0, runIdRole).toLongLong()))
        accept();
    else
        item->setDisabled(true); // what ran is gone (a workflow deleted since)
}

} // namespace lexorra::shell
