#include "shell/MainWindow.h"

#include "core/WorkflowLibrary.h"
#include "shell/ActionStates.h"
#include "shell/CodeEditor.h"
#include "shell/FindBar.h"
#include "shell/Icons.h"
#include "shell/OptionsPanel.h"
#include "shell/PreferencesDialog.h"
#include "shell/QrResultView.h"
#include "shell/ScreenCapture.h"
#include "shell/Theme.h"
#include "shell/WorkflowEditor.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "core/SettingsStore.h"
#include "text/Graphemes.h"
#include "text/Lines.h"

#include <fstream>
#include <utility>

namespace lexorra::shell {
namespace {

constexpr int seqIdRole = Qt::UserRole + 1;

CodeEditor* makeEditor(QWidget* parent, const char* name, bool readOnly) {
    auto* editor = new CodeEditor(parent);
    editor->setObjectName(name);
    editor->setReadOnly(readOnly);
    return editor;
}

// A pane with a small caption above it, and beside the caption what the pane wants to say.
QWidget* titled(const QString& caption, QWidget* body, QWidget* parent, QWidget* besideCaption = nullptr) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(caption, box);
    body->setAccessibleName(caption);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.9);
    label->setFont(f);
    label->setContentsMargins(10, 0, 0, 0);
    label->setForegroundRole(QPalette::PlaceholderText);
    if (besideCaption) {
        auto* row = new QHBoxLayout;
        row->addWidget(label);
        row->addWidget(besideCaption, 1);
        layout->addLayout(row);
    } else {
        layout->addWidget(label);
    }
    layout->addWidget(body, 1);
    return box;
}

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

MainWindow::MainWindow(AppManager& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
    setObjectName("mainWindow");
    setWindowTitle("Lexorra");
    resize(1200, 760);

    auto* sideWidget = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(sideWidget);
    sideLayout->setContentsMargins(6, 6, 0, 6);
    m_search = new QLineEdit(sideWidget);
    m_search->setObjectName("searchLineEdit");
    m_search->setPlaceholderText(tr("Search actions (Ctrl+K)"));
    m_search->setAccessibleName(tr("Search actions and workflows"));
    m_search->setAccessibleDescription(tr("Down goes to the first match, Return picks it, Escape clears the search"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    m_sidebar = new QTreeWidget(sideWidget);
    m_sidebar->setObjectName("sidebarTreeWidget");
    m_sidebar->setAccessibleName(tr("Actions and workflows"));
    m_sidebar->setAccessibleDescription(tr("F2 renames the selected workflow, Delete deletes it"));
    m_sidebar->setHeaderHidden(true);
    m_sidebar->setRootIsDecorated(false);
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_sidebar, 1);

    m_input = makeEditor(this, "inputEditor", false);
    m_input->installEventFilter(this); // Escape, while a step's output is shown
    m_result = makeEditor(this, "resultEditor", true);
    auto* editorsColumn = new QWidget(this);
    auto* editorsLayout = new QVBoxLayout(editorsColumn);
    editorsLayout->setContentsMargins(0, 0, 0, 0);
    editorsLayout->setSpacing(0);
    auto* editors = new QSplitter(Qt::Vertical, editorsColumn);
    editors->addWidget(titled(tr("Input"), m_input, this));
    m_resultStack = new QStackedWidget(this);
    m_resultStack->addWidget(m_result);
    m_qrView = new QrResultView(m_resultStack);
    m_resultStack->addWidget(m_qrView);
    connect(m_qrView, &QrResultView::copyRequested, this, [this] { m_app.copyResult(); });
    connect(m_qrView, &QrResultView::saveRequested, this, &MainWindow::saveResultToFile);
    m_pausedHint = new QLabel(this);
    m_pausedHint->setObjectName("liveResultsPausedLabel");
    m_pausedHint->setWordWrap(true);
    m_result->setAccessibleName(tr("Result"));
    m_qrView->setAccessibleName(tr("Result as a QR code"));
    m_pausedHint->hide();
    editors->addWidget(titled(tr("Result"), m_resultStack, this, makeResultNotes()));
    editors->setHandleWidth(6);
    m_findBar = new FindBar(editorsColumn);
    editorsLayout->addWidget(editors, 1);
    editorsLayout->addWidget(m_findBar);

    m_detail = new QScrollArea(this);
    m_detail->setObjectName("detailScrollArea");
    m_detail->setAccessibleName(tr("Options"));
    m_detail->setWidgetResizable(true);
    // The panels wrap their rows instead: a sideways scrollbar hides half of every field.
    m_detail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_detail->setMinimumWidth(220);
    sideWidget->setMinimumWidth(150);

    auto* main = new QSplitter(Qt::Horizontal, this);
    main->addWidget(sideWidget);
    main->addWidget(editorsColumn);
    main->addWidget(m_detail);
    // A narrower window takes most of the width from the side panes, so that the editors
    // stay wide enough to read.
    main->setStretchFactor(0, 1);
    main->setStretchFactor(1, 4);
    main->setStretchFactor(2, 1);
    main->setSizes({240, 620, 340});
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    m_storeBanner = new QLabel(central);
    m_storeBanner->setObjectName("storeProblemLabel");
    m_storeBanner->setWordWrap(true);
    m_storeBanner->setTextFormat(Qt::RichText);
    connect(m_storeBanner, &QLabel::linkActivated, this, [this] {
        m_storeProblemAsked = false;
        showStoreProblem(true);
    });
    m_storeBanner->setContentsMargins(10, 6, 10, 6);
    m_storeBanner->setAutoFillBackground(true);
    m_storeBanner->setBackgroundRole(QPalette::ToolTipBase);
    m_storeBanner->setForegroundRole(QPalette::ToolTipText);
    m_storeBanner->hide();
    centralLayout->addWidget(m_storeBanner);
    centralLayout->addWidget(main, 1);
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setObjectName("statusLabel");
    statusBar()->addWidget(m_status, 1);
    m_textInfo = new QLabel(this);
    m_textInfo->setObjectName("textInfoLabel");
    m_textInfoTimer = new QTimer(this);
    m_textInfoTimer->setSingleShot(true);
    m_textInfoTimer->setInterval(250);
    connect(m_textInfoTimer, &QTimer::timeout, this, &MainWindow::countInputInBackground);
    statusBar()->addPermanentWidget(m_textInfo);

    buildMenusAndToolbar();
    buildTray();

    connect(m_search, &QLineEdit::textChanged, this, [this] { rebuildSidebar(); });
    connect(m_sidebar, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { onSidebarSelection(item); });
    connect(m_input, &QsciScintilla::textChanged, this, [this] {
        if (m_updatingInput) return;
        // No writing it back when the controller announces it.
        m_updatingInput = true;
        m_app.setInputString(m_input->utf8Text());
        m_updatingInput = false;
    });
    connect(m_input, &CodeEditor::chosenModeChanged, this, [this] { updateSyntaxModes(); });
    m_observer = m_app.addObserver([this](std::string_view field) { onAppChanged(field); });

    updateSyntaxModes();
    m_updatingInput = true;
    m_input->setText(QString::fromStdString(m_app.inputString()));
    m_updatingInput = false;
    showResult();
    rebuildSidebar();
    rebuildDetailPane();
    updateTextInfo();
    if (!m_app.storeProblem().empty()) QTimer::singleShot(0, this, [this] { showStoreProblem(true); });
    updateWorkflowCommands();
    updatePausedHint();
}

MainWindow::~MainWindow() {
    m_app.removeObserver(m_observer);
    // The focus moves while the children go: the Edit menu must not follow it any more.
    disconnect(qApp, nullptr, this, nullptr);
}

void MainWindow::setScreenCapture(ScreenCapture* capture) {
    if (m_capture) disconnect(m_capture, nullptr, this, nullptr);
    m_capture = capture;
    m_captureAction->setEnabled(capture != nullptr);
    if (!capture) return;
    connect(capture, &ScreenCapture::permissionMissing, this, [this] {
        // Linux has no such permission; this shows when no portal runs and the session is not X11.
        QMessageBox box(QMessageBox::Warning, tr("Lexorra"), tr("Screen Recording Access"), QMessageBox::NoButton,
                        this);
        box.setInformativeText(tr("Lexorra needs your permission to capture screen recording.\n\n Please go to System "
                                  "Settings to give Lexorra Screen Recording permission"));
        box.setDetailedText(tr(capturePermissionAdvice));
        auto* give = box.addButton(tr("Give Permission"), QMessageBox::AcceptRole);
        box.addButton(tr("Cancel"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == give && !openCapturePermissionSettings())
            QMessageBox::information(this, tr("Lexorra"), tr(capturePermissionAdvice));
    });
}

void MainWindow::setSettings(Settings* settings) {
    m_settings = settings;
    m_preferencesAction->setEnabled(settings != nullptr);
    if (!settings) return;
    applyEditorOptions(EditorOptions::load(*settings));
    setTrayIconShown(trayIconWanted(*settings));
    setHiddenFromTaskBar(settings->boolean("HideDockIcon"));
    m_actionStates = std::make_unique<ActionStates>(*settings);
    m_actionStates->apply(m_app);
    m_app.forgetWorkflowEdits(); // steps switched off in an earlier session are no edit of this one
    rebuildDetailPane();
}

PreferencesDialog* MainWindow::openPreferences() {
    if (!m_settings) return nullptr;
    if (!m_preferences) {
        m_preferences = new PreferencesDialog(m_app, *m_settings, this);
        connect(m_preferences, &PreferencesDialog::editorOptionsChanged, this, &MainWindow::applyEditorOptions);
        connect(m_preferences, &PreferencesDialog::trayIconChanged, this, &MainWindow::setTrayIconShown);
        connect(m_preferences, &PreferencesDialog::hideFromTaskBarChanged, this, &MainWindow::setHiddenFromTaskBar);
    }
    m_preferences->show();
    m_preferences->raise();
    return m_preferences;
}

void MainWindow::applyEditorOptions(const EditorOptions& options) {
    for (auto* editor : {m_input, m_result}) {
        editor->setWhitespaceVisibility(options.showInvisibleCharacters ? QsciScintilla::WsVisible
                                                                        : QsciScintilla::WsInvisible);
        editor->setEolVisibility(options.showInvisibleCharacters);
        editor->setWrapMode(options.wrapLines ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
        editor->setSimple(options.simpleTextEditor);
        editor->setLineNumbersWanted(options.showLineNumbers);
    }
}

void MainWindow::updateSyntaxModes() {
    const auto& seq = m_app.activeActionsSeq();
    m_input->setAutomaticMode(seq ? inputSyntax(*seq) : SyntaxMode::plain);
    m_result->setAutomaticMode(seq ? resultSyntax(*seq, m_input->chosenMode()) : SyntaxMode::plain);
}

void MainWindow::setTrayIconShown(bool shown) {
    if (shown && !m_tray) buildTray();
    if (m_tray) m_tray->setVisible(shown);
}

void MainWindow::setHiddenFromTaskBar(bool hidden) {
    // A tool window keeps out of the task bar; with no tray to come back from, stay listed.
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::Tool, hidden && m_tray && m_tray->isVisible());
    if (wasVisible) show();
}

namespace {

struct TextCounts {
    size_t characters = 0;
    size_t words = 0;
    size_t lines = 0;
};

TextCounts countText(std::string_view text) {
    return {text::graphemeCount(text), text::splitWords(text).size(),
            text.empty() ? 0 : static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1};
}

QString describe(const TextCounts& counts) {
    return QObject::tr("%1 characters · %2 words · %3 lines")
        .arg(counts.characters)
        .arg(counts.words)
        .arg(counts.lines);
}

// Below this the counts take well under a millisecond and are shown at once.
constexpr size_t countInBackgroundFrom = 256 * 1024;

} // namespace

void MainWindow::updateTextInfo() {
    m_textInfo->setVisible(m_app.viewTextInfo());
    if (!m_app.viewTextInfo()) return;
    const std::string& text = m_app.inputString();
    if (text.size() >= countInBackgroundFrom) {
        // Copying and counting megabytes at every keystroke would take the main thread's
        // time and a core: the count waits for a pause in typing.
        m_textInfoTimer->start();
        return;
    }
    m_textInfoTimer->stop();
    ++m_textInfoGeneration;
    m_textInfo->setText(describe(countText(text)));
}

void MainWindow::countInputInBackground() {
    // Counting the graphemes and words of megabytes takes a moment: it runs beside the
    // window, and only the count of the latest text is shown.
    const quint64 generation = ++m_textInfoGeneration;
    // One count at a time: a count started at every pause in typing left the window's thread
    // a small share of the cores. The text typed meanwhile is counted when this count ends.
    if (std::exchange(m_textInfoCounting, true)) {
        m_textInfoRecount = true;
        return;
    }
    auto* watcher = new QFutureWatcher<TextCounts>(this);
    connect(watcher, &QFutureWatcher<TextCounts>::finished, this, [this, watcher, generation] {
        m_textInfoCounting = false;
        if (generation == m_textInfoGeneration) m_textInfo->setText(describe(watcher->result()));
        watcher->deleteLater();
        if (std::exchange(m_textInfoRecount, false)) countInputInBackground();
    });
    watcher->setFuture(QtConcurrent::run([copy = m_app.inputString()] { return countText(copy); }));
}

void MainWindow::showResult() {
    m_result->setUtf8Text(m_app.resultString());
    m_resultStack->setCurrentWidget(m_qrView->showResult(m_app.resultString()) ? static_cast<QWidget*>(m_qrView)
                                                                               : m_result);
    m_stepCaption->hide();
    m_finalResultShortcut->setEnabled(false);
    if (auto* editor = qobject_cast<WorkflowEditor*>(m_detail->widget()); editor && editor->viewedStep()) {
        const QSignalBlocker quiet(editor);
        editor->setViewedStep(std::nullopt);
    }
}

void MainWindow::bringToFront() {
    show();
    raise();
    activateWindow();
}

void MainWindow::rebuildSidebar() {
    const QSignalBlocker block(m_sidebar);
    m_sidebar->clear();
    const std::string search = m_search->text().toStdString();
    auto* actions = new QTreeWidgetItem(m_sidebar, {tr("Actions")});
    auto* workflows = new QTreeWidgetItem(m_sidebar, {tr("Workflows")});
    for (auto* header : {actions, workflows}) {
        header->setFlags(Qt::ItemIsEnabled);
        QFont f = header->font(0);
        f.setBold(true);
        header->setFont(0, f);
    }
    const auto& active = m_app.activeActionsSeq();
    QTreeWidgetItem* current = nullptr;
    for (const auto& seq : m_app.actionsSeqArray()) {
        if (!seq->actionsArray.empty() && !search.empty() && !matchesSearch(seq->actionsArray[0]->type, search))
            continue;
        auto* item = new QTreeWidgetItem(actions, {QString::fromStdString(seq->name)});
        item->setData(0, Qt::AccessibleDescriptionRole, tr("Action"));
        if (!seq->actionsArray.empty()) item->setIcon(0, actionIcon(seq->actionsArray[0]->type));
        item->setData(0, seqIdRole, QString::fromStdString(seq->id));
        if (active && active->id == seq->id) current = item;
    }
    for (const auto& seq : m_app.workflowsSeqArray()) {
        if (!search.empty() && QString::fromStdString(seq->name).indexOf(qs(search), 0, Qt::CaseInsensitive) < 0)
            continue;
        auto* item = new QTreeWidgetItem(workflows, {QString::fromStdString(seq->name)});
        item->setData(0, Qt::AccessibleDescriptionRole,
                      tr("Workflow of %n step(s)", "", int(seq->actionsArray.size())));
        item->setIcon(0, findIcon(seq->icon) ? iconFor(seq->icon) : iconFor("flowchart"));
        item->setData(0, seqIdRole, QString::fromStdString(seq->id));
        if (active && active->id == seq->id) current = item;
    }
    m_sidebar->expandAll();
    if (current) m_sidebar->setCurrentItem(current);
}

void MainWindow::onSidebarSelection(QTreeWidgetItem* item) {
    if (!item) return;
    const std::string id = item->data(0, seqIdRole).toString().toStdString();
    if (id.empty()) return;
    for (const auto& seq : m_app.actionsSeqArray())
        if (seq->id == id) m_app.setSelectedActionsSeq(seq);
    for (const auto& seq : m_app.workflowsSeqArray())
        if (seq->id == id) m_app.setSelectedworkflowSeq(seq);
}

void MainWindow::rebuildDetailPane() {
    const auto& seq = m_app.activeActionsSeq();
    QWidget* pane = nullptr;
    if (!seq) {
        auto* hint = new QLabel(tr("Choose an action or a workflow on the left."));
        hint->setAlignment(Qt::AlignCenter);
        pane = hint;
    } else if (m_app.activeSeqType() == SeqType::workFlow) {
        auto* editor = new WorkflowEditor(seq, m_app);
        connect(editor, &WorkflowEditor::workflowRenamed, this, [this] { rebuildSidebar(); });
        connect(editor, &WorkflowEditor::actionStateChanged, this, &MainWindow::saveActionStates);
        connect(editor, &WorkflowEditor::viewedStepChanged, this, &MainWindow::showViewedStep);
        pane = editor;
    } else {
        auto* box = new QWidget;
        auto* layout = new QVBoxLayout(box);
        auto* heading = new QLabel(QString("<b>%1</b>").arg(QString::fromStdString(seq->name).toHtmlEscaped()), box);
        layout->addWidget(heading);
        if (!seq->actionsArray.empty()) {
            auto* panel = new OptionsPanel(seq->actionsArray.front(), m_app, box);
            connect(panel, &OptionsPanel::optionChanged, this, &MainWindow::saveActionStates);
            layout->addWidget(panel);
        }
        layout->addStretch(1);
        pane = box;
    }
    m_detail->setWidget(pane);
    if (!m_stepCaption->isHidden()) showResult(); // the step shown belonged to the pane replaced
    if (auto* editor = qobject_cast<WorkflowEditor*>(pane); editor && std::exchange(m_focusNameWhenShown, false))
        editor->focusName();
}

void MainWindow::onAppChanged(std::string_view field) {
    if (field == "resultString") {
        // An option edit may have changed what the sequence produces.
        updateSyntaxModes();
        showResult();
    } else if (field == "resultSteps") {
        if (auto* editor = qobject_cast<WorkflowEditor*>(m_detail->widget())) editor->showOutcomes();
    } else if (field == "viewTextInfo") {
        updateTextInfo();
    } else if (field == "inputString") {
        updateTextInfo();
        updatePausedHint();
        if (m_updatingInput) return;
        // Compared and set as UTF-8: converting a loaded file of megabytes to UTF-16 and back
        // held the window.
        if (!m_input->showsUtf8Text(m_app.inputString())) {
            m_updatingInput = true;
            m_input->loadUtf8Text(m_app.inputString());
            m_updatingInput = false;
        }
    } else if (field == "loadingResults" || field == "loadingWebResults") {
        m_status->setText(m_app.loadingWebResults() ? tr("Waiting for the AI service…")
                          : m_app.loadingResults()  ? tr("Working…")
                                                    : QString());
    } else if (field == "workflowsSeqArray" || field == "actionsSeqArray") {
        // Lists read again from their stores come back with every step on and default options;
        // a copied or deleted workflow adds or drops its own entries.
        if (m_actionStates && !m_restoringWorkflows) {
            m_actionStates->apply(m_app);
            m_actionStates->save(m_app);
        }
        rebuildSidebar();
        updateSyntaxModes();
        updateWorkflowCommands();
    } else if (field == "activeActionsSeq" || field == "selectedworkflowSeq") {
        updateSyntaxModes();
        updateWorkflowCommands();
    } else if (field == "useMonospacedFont") {
        m_input->setMonospacedWanted(m_app.useMonospacedFont());
        m_result->setMonospacedWanted(m_app.useMonospacedFont());
    } else if (field == "pushActive" && m_app.pushActive()) {
        rebuildDetailPane();
        updateSyntaxModes();
    } else if (field == "workflowUndo") {
        updateUndoCommands();
    } else if (field == "storeProblem") {
        showStoreProblem(isVisible());
    } else if (field == "liveResults" && m_liveAction) {
        m_liveAction->setChecked(m_app.liveResults());
        updatePausedHint();
    }
}

void MainWindow::showStoreProblem(bool askNow) {
    const QString problem = qs(m_app.storeProblem());
    m_storeBanner->setVisible(!problem.isEmpty());
    if (problem.isEmpty()) {
        m_storeProblemAsked = false;
        return;
    }
    const QString file = m_app.library() ? QString::fromStdString(m_app.library()->storeFile().string()) : QString();
    m_storeBanner->setText(tr("Your workflows are not being saved: %1 cannot be read, and nothing is written over it "
                              "until you choose. <a href=\"aside\">Keep it aside and start afresh…</a>")
                               .arg(file.toHtmlEscaped()));
    if (!askNow || m_storeProblemAsked) return;
    m_storeProblemAsked = true;
    // Not modal: the user may want to look at the file, or copy text out of the window, first.
    auto* box =
        new QMessageBox(QMessageBox::Warning, tr("Workflows cannot be read"),
                        tr("The stored workflow list cannot be read:\n%1").arg(file), QMessageBox::NoButton, this);
    box->setObjectName("storeProblemMessageBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(problem + "\n\n" +
                            tr("It can be kept aside, renamed with today's date, and Lexorra can start again from "
                               "the default workflows. Until then nothing is saved over it."));
    auto* aside = box->addButton(tr("Keep It Aside and Start Afresh"), QMessageBox::DestructiveRole);
    auto* leave = box->addButton(tr("Leave It for Now"), QMessageBox::RejectRole);
    box->setDefaultButton(leave);
    connect(box, &QMessageBox::buttonClicked, this, [this, aside](QAbstractButton* clicked) {
        if (clicked != aside) return;
        const std::string kept = m_app.setAsideUnreadableStore();
        if (kept.empty())
            QMessageBox::warning(this, tr("Error"), tr("The file could not be renamed; it is left as it is."));
        else
            m_status->setText(tr("The unreadable list was kept as %1").arg(qs(kept)));
    });
    box->open();
}

void MainWindow::clearInputEditor() {
    // An editor edit, not a new text: one Ctrl+Z in the input brings it back.
    m_input->beginUndoAction();
    m_input->selectAll();
    m_input->removeSelectedText();
    m_input->endUndoAction();
}

void MainWindow::updatePausedHint() {
    // The same test the controller makes before a live run; it stops counting at the limit.
    const bool paused = m_app.liveResults() && text::moreGraphemesThan(m_app.inputString(), AppManager::liveInputLimit);
    if (paused && m_pausedHint->text().isEmpty())
        m_pausedHint->setText(tr("Live results pause above %L1 characters: press %2 to run")
                                  .arg(AppManager::liveInputLimit)
                                  .arg(m_runAction->shortcut().toString(QKeySequence::NativeText)));
    m_pausedHint->setVisible(paused);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (!m_tray || !m_tray->isVisible() || m_trayNoticeShown) return;
    m_trayNoticeShown = true;
    if (m_settings) {
        if (m_settings->boolean("TrayCloseNoticeShown")) return;
        m_settings->setValue("TrayCloseNoticeShown", Value(true));
    }
    m_tray->showMessage(tr("Lexorra is still running"),
                        tr("Closing the window keeps Lexorra in the tray, ready for your clipboard. "
                           "Quit ends it (File ▸ Quit or the tray menu)."),
                        QSystemTrayIcon::Information, 8000);
}

void MainWindow::loadInputFromFile() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose file"));
    if (path.isEmpty()) return;
    if (!m_app.loadInputFromFile(path.toStdString()))
        QMessageBox::warning(this, tr("Error"), tr("Could not load file."));
}

void MainWindow::runSelectedToFile() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Choose file"));
    if (path.isEmpty()) return;
    std::string written;
    if (!m_app.runSelectedToFile(path.toStdString(), {}, &written))
        QMessageBox::warning(this, tr("Error"), tr("Could not run the selection on this file."));
    else
        statusBar()->showMessage(tr("Written to %1").arg(QString::fromStdString(written)), 5000);
}

void MainWindow::saveResultToFile() {
    QFileDialog dialog(this, tr("Save result to file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, tr("Save now"));
    dialog.setLabelText(QFileDialog::FileName, tr("File name:"));
    const bool qr = m_app.resultString().find(qrCodeMarker) != std::string::npos;
    dialog.selectFile(qr ? "qrcode.png" : "results.txt");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    m_app.saveResultToFile(dialog.selectedFiles().front().toStdString());
}

} // namespace lexorra::shell
