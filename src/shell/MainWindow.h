#pragma once

#include "core/AppManager.h"
#include "shell/CodeEditor.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>

#include <memory>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QScrollArea;
class QLabel;
class QSystemTrayIcon;
class QsciScintilla;
class QAction;
class QMenu;
class QStackedWidget;
class QDialog;
class QTimer;
class QShortcut;

namespace lexorra {
class Settings;
}

namespace lexorra::shell {

class ScreenCapture;
class ActionStates;
class FindBar;
class QrResultView;
class PreferencesDialog;
class HistoryDialog;
struct EditorOptions;

// The main window: a searchable sidebar of actions and workflows, the input and result
// editors, and the detail pane of the active sequence (its option panel, or the workflow
// editor). A thin layer: every behaviour is a call into AppManager.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(AppManager& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    CodeEditor* inputEditor() const { return m_input; }
    CodeEditor* resultEditor() const { return m_result; }
    // Shown in place of the result editor while the result is a QR code.
    QrResultView* qrResultView() const { return m_qrView; }
    // Fills the tray popover: a button per workflow that transforms the clipboard, then the
    // capture and window commands. Public so that it works (and can be tried) without a tray.
    void fillTrayMenu(QMenu* menu);
    void bringToFront();
    // Offers the screen capture command in the toolbar and the tray.
    void setScreenCapture(ScreenCapture* capture);
    QAction* captureAction() const { return m_captureAction; }
    // Gives the window the settings stores: enables Preferences and applies the editor and
    // tray choices kept there.
    void setSettings(Settings* settings);
    PreferencesDialog* openPreferences();
    void applyEditorOptions(const EditorOptions& options);
    void setTrayIconShown(bool shown);
    void setHiddenFromTaskBar(bool hidden);
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    FindBar* findBar() const { return m_findBar; }
    // Help ▸ About, Keyboard Shortcuts and Help: shown, and returned for tests.
    QDialog* showAbout();
    QDialog* showShortcuts();
    QDialog* showHelp();
    // View ▸ History: the kept runs, to bring an earlier input back.
    HistoryDialog* showHistory();
    // The window's shortcuts, which the editors' own key bindings must not shadow.
    QList<QKeySequence> windowShortcuts() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenusAndToolbar();
    void buildEditMenu();
    // Edit ▸ Undo and Redo: the focused text field's own, else the workflow list's.
    void undoOrRedo(bool undo);
    void updateUndoCommands();
    void buildHelpMenu();
    void buildSidebarCommands();
    void buildTray();
    void clearInputEditor();
    // Asks before a change that cannot be taken back; the safe button is the default.
    bool confirm(const QString& title, const QString& text, const QString& destructive,
                 const QString& informative = {});
    void openFindBar(bool replace);
    // F6: the sidebar, the input, the result, the options, and around.
    void focusNextPane(int step);
    void renameSelectedWorkflow();
    void updateWorkflowCommands();
    void updatePausedHint();
    void saveActionStates();
    void updateTextInfo();
    void countInputInBackground();
    void showResult();
    // The output of the step chosen in the workflow editor, captioned, or else the final result.
    void showViewedStep();
    // Beside the result's title: which step's output is shown, and why results are paused.
    QWidget* makeResultNotes();
    // The editors' automatic syntax modes follow the active sequence.
    void updateSyntaxModes();
    void rebuildSidebar();
    void rebuildDetailPane();
    void onAppChanged(std::string_view field);
    void onSidebarSelection(QTreeWidgetItem* item);
    void newWorkflow();
    void duplicateWorkflow();
    void deleteWorkflow();
    // The stored list cannot be read: say so, and offer to keep it aside and start afresh.
    void showStoreProblem(bool askNow);
    void loadInputFromFile();
    void runSelectedToFile();
    void saveResultToFile();
    void exportWorkflows(bool all);
    void importWorkflows();

    AppManager& m_app;
    int m_observer = 0;
    bool m_updatingInput = false;
    QLineEdit* m_search = nullptr;
    QTreeWidget* m_sidebar = nullptr;
    CodeEditor* m_input = nullptr;
    CodeEditor* m_result = nullptr;
    QStackedWidget* m_resultStack = nullptr;
    QrResultView* m_qrView = nullptr;
    QScrollArea* m_detail = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_storeBanner = nullptr;
    bool m_storeProblemAsked = false;
    QLabel* m_pausedHint = nullptr;
    QLabel* m_stepCaption = nullptr;
    QShortcut* m_finalResultShortcut = nullptr;
    FindBar* m_findBar = nullptr;
    QAction* m_runAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    // While an undo puts workflows back with their switched-off steps as they were, the
    // memory of switched-off steps follows them instead of being applied over them.
    bool m_restoringWorkflows = false;
    QAction* m_duplicateAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_exportSelectedAction = nullptr;
    bool m_focusNameWhenShown = false;
    bool m_trayNoticeShown = false;
    std::unique_ptr<ActionStates> m_actionStates;
    QAction* m_liveAction = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QAction* m_captureAction = nullptr;
    QAction* m_preferencesAction = nullptr;
    QLabel* m_textInfo = nullptr;
    quint64 m_textInfoGeneration = 0;
    bool m_textInfoCounting = false;
    bool m_textInfoRecount = false;
    QTimer* m_textInfoTimer = nullptr;
    Settings* m_settings = nullptr;
    PreferencesDialog* m_preferences = nullptr;
    HistoryDialog* m_history = nullptr;
    ScreenCapture* m_capture = nullptr;
};

} // namespace lexorra::shell
