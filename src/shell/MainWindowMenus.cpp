// The commands of the main window: menus, toolbar, the sidebar's own keys and menu, the tray,
// and the keyboard paths between the panes.
#include "shell/MainWindow.h"

#include "shell/FindBar.h"
#include "shell/HelpDialogs.h"
#include "shell/HistoryDialog.h"
#include "shell/Icons.h"
#include "shell/ScreenCapture.h"
#include "shell/WorkflowEditor.h"

#include "core/WorkflowUndoStack.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace lexorra::shell {
namespace {

constexpr int seqIdRole = Qt::UserRole + 1;

// The Edit commands act on whatever text field has the focus.
template <class Editor, class Field, class Plain> void onFocusedText(Editor&& editor, Field&& field, Plain&& plain) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* e = qobject_cast<QsciScintilla*>(focus))
        editor(e);
    else if (auto* f = qobject_cast<QLineEdit*>(focus))
        field(f);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(focus))
        plain(p);
}

bool textFieldHasFocus() {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QsciScintilla*>(focus) || qobject_cast<QLineEdit*>(focus) ||
           qobject_cast<QPlainTextEdit*>(focus);
}

#define LEXORRA_EDIT_COMMAND(call)                                                                                     \
    [] { onFocusedText([](auto* e) { e->call(); }, [](auto* f) { f->call(); }, [](auto* p) { p->call(); }); }

QWidget* firstFocusable(QWidget* pane) {
    if (!pane) return nullptr;
    for (QWidget* w : pane->findChildren<QWidget*>())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(pane->window()) && w->isEnabled()) return w;
    return pane;
}

} // namespace

void MainWindow::buildMenusAndToolbar() {
    auto* file = menuBar()->addMenu(tr("&File"));
    auto* load = file->addAction(iconFor("load"), tr("Load Input from text file…"), QKeySequence::Open, this,
                                 &MainWindow::loadInputFromFile);
    file->addAction(tr("Run Selected to text file…"), this, &MainWindow::runSelectedToFile);
    auto* save = file->addAction(iconFor("save"), tr("Save result to file…"), QKeySequence::Save, this,
                                 &MainWindow::saveResultToFile);
    file->addSeparator();
    file->addAction(tr("Export all Workflows…"), this, [this] { exportWorkflows(true); });
    m_exportSelectedAction = file->addAction(tr("Export selected Workflow…"), this, [this] { exportWorkflows(false); });
    file->addAction(tr("Import Workflows…"), this, &MainWindow::importWorkflows);
    file->addSeparator();
    m_preferencesAction = file->addAction(tr("Preferences…"), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                                          [this] { openPreferences(); });
    m_preferencesAction->setObjectName("preferencesAction");
    m_preferencesAction->setEnabled(false);
    file->addSeparator();
    file->addAction(tr("Quit"), QKeySequence::Quit, qApp, &QApplication::quit);

    buildEditMenu();

    auto* run = menuBar()->addMenu(tr("&Run"));
    m_runAction = run->addAction(tr("Run Selected Action/Workflow"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                                 [this] { m_app.runSelected(); });
    auto* runCopy = run->addAction(tr("Run Selected and Copy Results"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
                                   this, [this] { m_app.runSelectedAndCopy(); });
    run->addAction(tr("Run selected Workflow to clipboard"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), this,
                   [this] { m_app.runActiveSequenceOnClipboard(); });
    run->addSeparator();
    auto* copyResult = run->addAction(tr("Copy Result"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this,
                                      [this] { m_app.copyResult(); });
    auto* useResult = run->addAction(tr("Use result as input  text"), QKeySequence(Qt::CTRL | Qt::Key_U), this,
                                     [this] { m_app.useResultAsInput(); });
    // Both clears go through the editor, so that Ctrl+Z brings the text back.
    run->addAction(tr("Clear Input Text"), this, [this] { clearInputEditor(); });
    auto* clear = run->addAction(tr("Clear Input Text and Results"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
                                 this, [this] {
                                     clearInputEditor();
                                     m_app.clearInputAndResults();
                                 });
    clear->setToolTip(tr("Clear Input Text and Results (%1); Edit ▸ Undo brings the input back")
                          .arg(clear->shortcut().toString(QKeySequence::NativeText)));
    run->addSeparator();
    m_liveAction = run->addAction(tr("Live Results"));
    m_liveAction->setCheckable(true);
    m_liveAction->setChecked(m_app.liveResults());
    connect(m_liveAction, &QAction::toggled, this, [this](bool on) { m_app.setLiveResults(on); });

    auto* workflows = menuBar()->addMenu(tr("&Workflows"));
    workflows->addAction(tr("Create new Workflow"), QKeySequence::New, this, &MainWindow::newWorkflow);
    m_duplicateAction = workflows->addAction(tr("Duplicate Workflow"), this, &MainWindow::duplicateWorkflow);
    m_deleteAction = workflows->addAction(tr("Delete Workflow"), this, &MainWindow::deleteWorkflow);
    workflows->addAction(tr("Delete all workflows"), this, [this] {
        if (!confirm(tr("Delete all workflows?"), tr("Are you sure you want to delete all your workflows?"),
                     tr("Delete All?"), tr("Edit ▸ Undo Delete Workflows brings them back.")))
            return;
        std::vector<std::string> ids;
        for (const auto& w : m_app.workflowsSeqArray())
            ids.push_back(w->id);
        m_app.deleteWorkflows(ids);
    });

    auto* view = menuBar()->addMenu(tr("&View"));
    auto* syntax = view->addMenu(tr("Syntax"));
    syntax->addMenu(makeSyntaxMenu(m_input, tr("Input"), "inputSyntax", this));
    syntax->addMenu(makeSyntaxMenu(m_result, tr("Result"), "resultSyntax", this));
    view->addSeparator();
    view->addAction(tr("Search Actions and Workflows"), QKeySequence(Qt::CTRL | Qt::Key_K), this, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });
    view->addAction(tr("History…"), QKeySequence(Qt::CTRL | Qt::Key_H), this, [this] { showHistory(); });
    view->addAction(tr("Next Pane"), QKeySequence(Qt::Key_F6), this, [this] { focusNextPane(1); });
    view->addAction(tr("Previous Pane"), QKeySequence(Qt::SHIFT | Qt::Key_F6), this, [this] { focusNextPane(-1); });

    auto* toolbar = addToolBar(tr("Main"));
    toolbar->setObjectName("mainToolBar");
    m_runAction->setIcon(iconFor("run"));
    runCopy->setIcon(iconFor("runAndCopy"));
    copyResult->setIcon(iconFor("copyResult"));
    useResult->setIcon(iconFor("useResult"));
    clear->setIcon(iconFor("clear"));
    m_liveAction->setIcon(iconFor("liveResults"));
    m_preferencesAction->setIcon(iconFor("preferences"));
    toolbar->addAction(m_runAction);
    toolbar->addAction(runCopy);
    toolbar->addAction(copyResult);
    toolbar->addAction(useResult);
    toolbar->addAction(clear);
    toolbar->addSeparator();
    toolbar->addAction(load);
    toolbar->addAction(save);
    toolbar->addSeparator();
    toolbar->addAction(m_liveAction);
    toolbar->addSeparator();
    m_captureAction = new QAction(iconFor("capture"), tr("Capture text from screen\nRead any text or Qr code"), this);
    m_captureAction->setObjectName("captureAction");
    m_captureAction->setIconText(tr("Capture text"));
    m_captureAction->setToolTip(m_captureAction->text());
    m_captureAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2));
    m_captureAction->setEnabled(false);
    connect(m_captureAction, &QAction::triggered, this, [this] {
        if (m_capture) m_capture->readQRCode();
    });
    run->addSeparator();
    run->addAction(m_captureAction);
    toolbar->addAction(m_captureAction);
    toolbar->addAction(m_preferencesAction);

    buildHelpMenu();
    buildSidebarCommands();
    for (auto* editor : {m_input, m_result})
        editor->releaseKeys(windowShortcuts());
}

void MainWindow::buildEditMenu() {
    auto* edit = menuBar()->addMenu(tr("&Edit"));
    m_undoAction = edit->addAction(tr("Undo"), QKeySequence::Undo, this, [this] { undoOrRedo(true); });
    m_undoAction->setObjectName("undoAction");
    m_redoAction = edit->addAction(tr("Redo"), QKeySequence::Redo, this, [this] { undoOrRedo(false); });
    m_redoAction->setObjectName("redoAction");
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateUndoCommands);
    connect(edit, &QMenu::aboutToShow, this, &MainWindow::updateUndoCommands);
    updateUndoCommands();
    edit->addSeparator();
    edit->addAction(tr("Cut"), QKeySequence::Cut, this, LEXORRA_EDIT_COMMAND(cut));
    edit->addAction(tr("Copy"), QKeySequence::Copy, this, LEXORRA_EDIT_COMMAND(copy));
    edit->addAction(tr("Paste"), QKeySequence::Paste, this, LEXORRA_EDIT_COMMAND(paste));
    edit->addAction(tr("Select All"), QKeySequence::SelectAll, this, LEXORRA_EDIT_COMMAND(selectAll));
    edit->addSeparator();
    edit->addAction(tr("Find…"), QKeySequence::Find, this, [this] { openFindBar(false); });
    edit->addAction(tr("Find and Replace…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), this,
                    [this] { openFindBar(true); });
    edit->addAction(tr("Find Next"), QKeySequence::FindNext, this, [this] { m_findBar->findNext(true); });
    edit->addAction(tr("Find Previous"), QKeySequence::FindPrevious, this, [this] { m_findBar->findNext(false); });
}

void MainWindow::undoOrRedo(bool undo) {
    if (textFieldHasFocus()) {
        if (undo)
            LEXORRA_EDIT_COMMAND(undo)();
        else
            LEXORRA_EDIT_COMMAND(redo)();
        return;
    }
    m_restoringWorkflows = true;
    undo ? m_app.undoWorkflowEdit() : m_app.redoWorkflowEdit();
    m_restoringWorkflows = false;
    saveActionStates();
    rebuildSidebar();
}

void MainWindow::updateUndoCommands() {
    if (!m_undoAction) return;
    const bool text = textFieldHasFocus();
    const auto& stack = m_app.workflowUndo();
    m_undoAction->setText(text || !stack.canUndo() ? tr("Undo")
                                                   : tr("Undo %1").arg(QString::fromStdString(stack.undoLabel())));
    m_undoAction->setEnabled(text || stack.canUndo());
    m_redoAction->setText(text || !stack.canRedo() ? tr("Redo")
                                                   : tr("Redo %1").arg(QString::fromStdString(stack.redoLabel())));
    m_redoAction->setEnabled(text || stack.canRedo());
}

void MainWindow::buildHelpMenu() {
    auto* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("Lexorra Help"), QKeySequence::HelpContents, this, [this] { showHelp(); });
    help->addAction(tr("Keyboard Shortcuts"), QKeySequence(Qt::CTRL | Qt::Key_Slash), this,
                    [this] { showShortcuts(); });
    help->addSeparator();
    help->addAction(tr("About Lexorra"), this, [this] { showAbout(); });
}

QDialog* MainWindow::showAbout() {
    auto* dialog = makeAboutDialog(this);
    dialog->show();
    return dialog;
}

QDialog* MainWindow::showShortcuts() {
    auto* dialog = makeShortcutsDialog(menuBar(), this);
    dialog->show();
    return dialog;
}

HistoryDialog* MainWindow::showHistory() {
    if (!m_history) m_history = new HistoryDialog(m_app, this);
    m_history->reload();
    m_history->show();
    m_history->raise();
    return m_history;
}

QDialog* MainWindow::showHelp() {
    auto* dialog = makeHelpDialog(this);
    dialog->show();
    return dialog;
}

void MainWindow::buildSidebarCommands() {
    const auto sidebarAction = [this](const QString& text, QKeySequence key, auto slot) {
        auto* action = new QAction(text, m_sidebar);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, slot);
        m_sidebar->addAction(action);
        return action;
    };
    auto* rename = sidebarAction(tr("Rename"), QKeySequence(Qt::Key_F2), [this] { renameSelectedWorkflow(); });
    auto* remove = sidebarAction(tr("Delete…"), QKeySequence::Delete, [this] { deleteWorkflow(); });
    m_sidebar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_sidebar, &QTreeWidget::customContextMenuRequested, this, [this, rename, remove](QPoint pos) {
        auto* item = m_sidebar->itemAt(pos);
        if (!item || item->data(0, seqIdRole).isNull()) return;
        m_sidebar->setCurrentItem(item);
        if (!m_app.selectedworkflowSeq()) return; // the built-in actions have nothing to offer
        QMenu menu(this);
        menu.addAction(rename);
        menu.addAction(m_duplicateAction);
        menu.addAction(m_exportSelectedAction);
        menu.addSeparator();
        menu.addAction(remove);
        menu.exec(m_sidebar->viewport()->mapToGlobal(pos));
    });
}

QList<QKeySequence> MainWindow::windowShortcuts() const {
    QList<QKeySequence> keys;
    for (const QAction* action : findChildren<QAction*>()) {
        const auto context = action->shortcutContext();
        if (context == Qt::WidgetShortcut || context == Qt::WidgetWithChildrenShortcut) continue;
        keys += action->shortcuts();
    }
    return keys;
}

void MainWindow::openFindBar(bool replace) {
    QWidget* focus = QApplication::focusWidget();
    QsciScintilla* editor = focus == m_result ? static_cast<QsciScintilla*>(m_result) : m_input;
    if (!replace && m_findBar->isVisible() && focus != m_input && focus != m_result && m_findBar->editor())
        editor = m_findBar->editor();
    m_findBar->open(editor, replace);
}

void MainWindow::focusNextPane(int step) {
    QWidget* result = m_resultStack->currentWidget();
    const QList<QWidget*> panes = {m_sidebar, m_input, result, m_detail};
    int at = -1;
    for (QWidget* w = QApplication::focusWidget(); w && at < 0; w = w->parentWidget()) {
        at = static_cast<int>(panes.indexOf(w));
        if (w == m_search) at = 0;
    }
    const int next = ((at < 0 ? (step > 0 ? -1 : 0) : at) + step + static_cast<int>(panes.size())) % panes.size();
    QWidget* target = panes[next] == m_detail ? firstFocusable(m_detail->widget()) : panes[next];
    if (target) target->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The input editor claims Escape for itself; while a step's output is shown it returns to
    // the final result instead.
    if (watched == m_input && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_finalResultShortcut->isEnabled())
        return true;
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape && !m_search->text().isEmpty()) {
            m_search->clear();
            return true;
        }
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            QTreeWidgetItem* first = nullptr;
            for (QTreeWidgetItemIterator it(m_sidebar); *it && !first; ++it)
                if (!(*it)->data(0, seqIdRole).isNull()) first = *it;
            if (!first) return true;
            m_sidebar->setCurrentItem(first);
            if (key == Qt::Key_Down)
                m_sidebar->setFocus(Qt::TabFocusReason);
            else
                m_input->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    m_tray =
        new QSystemTrayIcon(windowIcon().isNull() ? QIcon::fromTheme("accessories-text-editor") : windowIcon(), this);
    auto* menu = new QMenu(this);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillTrayMenu(menu); });
    m_tray->setContextMenu(menu);
    m_tray->setToolTip("Lexorra");
    // A left click opens the same menu as a right click, as desktop users expect of a tray icon.
    connect(m_tray, &QSystemTrayIcon::activated, this, [menu](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && !menu->isVisible()) menu->popup(QCursor::pos());
    });
    m_tray->show();
}

void MainWindow::fillTrayMenu(QMenu* menu) {
    menu->clear();
    menu->setToolTipsVisible(true);
    for (const auto& workflow : m_app.workflowsSeqArray()) {
        // A "&" in a name is a letter of the name, not a mnemonic.
        auto* item = menu->addAction(QString::fromStdString(workflow->name).replace('&', "&&"));
        item->setToolTip(tr("Click to tranform the text in your clipboard."));
        const std::string id = workflow->id;
        // Queued: the menu closes first, then the run and its notice.
        connect(item, &QAction::triggered, this, [this, menu, id] {
            menu->hide();
            QTimer::singleShot(0, this, [this, id] { m_app.runWorkflowOnClipboard(id); });
        });
    }
    menu->addSeparator();
    if (m_capture) menu->addAction(m_captureAction);
    menu->addAction(tr("Open Lexorra"), this, &MainWindow::bringToFront);
    menu->addAction(tr("Quit"), qApp, &QApplication::quit);
}

} // namespace lexorra::shell
