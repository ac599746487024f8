// The workflow commands of the main window: create, duplicate, rename, delete (after asking),
// export and import, the memory of switched-off steps and built-in options, and the output of
// one step shown in the result pane.
#include "shell/MainWindow.h"

#include "shell/ActionStates.h"
#include "shell/QrResultView.h"
#include "shell/WorkflowEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>

namespace lexorra::shell {

void MainWindow::newWorkflow() {
    // A search that hides the new workflow would leave the user wondering where it went.
    m_search->clear();
    m_focusNameWhenShown = true;
    auto seq = m_app.createWorkflow("New Workflow");
    rebuildSidebar();
    m_app.setSelectedworkflowSeq(seq);
    rebuildSidebar();
}

void MainWindow::duplicateWorkflow() {
    const auto& seq = m_app.selectedworkflowSeq();
    if (!seq) return;
    m_app.duplicateWorkflow(seq->id);
}

void MainWindow::deleteWorkflow() {
    const auto seq = m_app.selectedworkflowSeq();
    if (!seq) return;
    if (!confirm(tr("Delete Workflow?"),
                 tr("Are you sure you want to delete the workflow \"%1\"?").arg(QString::fromStdString(seq->name)),
                 tr("Delete"), tr("Edit ▸ Undo Delete Workflow brings it back.")))
        return;
    m_app.deleteWorkflow(seq->id);
}

bool MainWindow::confirm(const QString& title, const QString& text, const QString& destructive,
                         const QString& informative) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, this);
    box.setObjectName("confirmMessageBox");
    box.setInformativeText(informative.isEmpty() ? tr("This cannot be undone.") : informative);
    auto* yes = box.addButton(destructive, QMessageBox::DestructiveRole);
    auto* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    // Return must not destroy anything by itself.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

void MainWindow::renameSelectedWorkflow() {
    if (!m_app.selectedworkflowSeq()) return;
    if (auto* editor = qobject_cast<WorkflowEditor*>(m_detail->widget()))
        editor->focusName();
    else
        m_focusNameWhenShown = true;
}

void MainWindow::updateWorkflowCommands() {
    const bool workflow = m_app.selectedworkflowSeq() != nullptr;
    for (auto* action : {m_duplicateAction, m_deleteAction, m_exportSelectedAction})
        if (action) action->setEnabled(workflow);
}

void MainWindow::saveActionStates() {
    if (m_actionStates) m_actionStates->save(m_app);
}

void MainWindow::exportWorkflows(bool all) {
    const auto& selected = m_app.selectedworkflowSeq();
    if (!all && !selected) return;
    QFileDialog dialog(this, tr("Save your Workflows to file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, tr("Save now"));
    dialog.setLabelText(QFileDialog::FileName, tr("File name:"));
    dialog.setNameFilter("JSON (*.json)");
    dialog.setDefaultSuffix("json");
    if (!all) dialog.selectFile(QString::fromStdString(selected->name) + ".json");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    std::string error;
    const QString file = dialog.selectedFiles().front();
    if (!m_app.exportWorkflows(file.toStdString(), all ? "all" : selected->id, &error)) {
        QMessageBox::warning(this, tr("Error"), QString::fromStdString(error));
        return;
    }
    const int count = all ? static_cast<int>(m_app.workflowsSeqArray().size()) : 1;
    statusBar()->showMessage(tr("%n workflow(s) written to %1", "", count).arg(file), 8000);
}

void MainWindow::importWorkflows() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose file"), {}, "JSON (*.json)");
    if (path.isEmpty()) return;
    const size_t before = m_app.workflowsSeqArray().size();
    if (!m_app.importWorkflows(path.toStdString())) {
        QMessageBox::warning(this, tr("Error"), tr("Could not load file."));
        return;
    }
    rebuildSidebar();
    const int added = static_cast<int>(m_app.workflowsSeqArray().size() - before);
    statusBar()->showMessage(tr("%n workflow(s) added from %1", "", added).arg(path), 8000);
}

QWidget* MainWindow::makeResultNotes() {
    auto* notes = new QWidget(this);
    auto* row = new QHBoxLayout(notes);
    row->setContentsMargins(0, 0, 0, 0);
    m_stepCaption = new QLabel(notes);
    m_stepCaption->setObjectName("resultStepLabel");
    m_stepCaption->setTextFormat(Qt::RichText);
    m_stepCaption->setToolTip(tr("Escape, or a click on the step again, shows the final result"));
    m_stepCaption->hide();
    const auto backToFinal = [this] {
        if (auto* editor = qobject_cast<WorkflowEditor*>(m_detail->widget())) editor->setViewedStep(std::nullopt);
        showResult();
    };
    connect(m_stepCaption, &QLabel::linkActivated, this, backToFinal);
    m_finalResultShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_finalResultShortcut->setEnabled(false);
    connect(m_finalResultShortcut, &QShortcut::activated, this, backToFinal);
    row->addWidget(m_stepCaption);
    row->addWidget(m_pausedHint, 1);
    return notes;
}

void MainWindow::showViewedStep() {
    auto* editor = qobject_cast<WorkflowEditor*>(m_detail->widget());
    const StepRecord* record = editor ? editor->viewedRecord() : nullptr;
    const auto& workflow = m_app.activeActionsSeq();
    if (!record || !workflow) return showResult();
    m_result->setText(QString::fromStdString(record->output));
    m_resultStack->setCurrentWidget(m_qrView->showResult(record->output) ? static_cast<QWidget*>(m_qrView) : m_result);
    m_stepCaption->setText(tr("after step %1 of %2 · %3 · <a href=\"final\">Show final result</a>")
                               .arg(record->step)
                               .arg(workflow->actionsArray.size())
                               .arg(QString::fromStdString(record->title).toHtmlEscaped()));
    m_stepCaption->show();
    m_finalResultShortcut->setEnabled(true);
}

} // namespace lexorra::shell
