#include "shell/PreferencesDialog.h"

#include "core/RunHistory.h"
#include "core/SharedApiKey.h"
#include "shell/GlobalShortcuts.h"
#include "shell/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexorra::shell {
namespace {

bool storedBool(const Settings& settings, std::string_view key, bool fallback) {
    const Value* v = settings.store(StoreKind::standard).value(key);
    return v && v->isBool() ? v->asBool() : fallback;
}

QCheckBox* checkBox(const QString& text, const char* name, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

} // namespace

EditorOptions EditorOptions::load(const Settings& settings) {
    EditorOptions o;
    o.showInvisibleCharacters = storedBool(settings, "showInvisibleCharacters", o.showInvisibleCharacters);
    o.showLineNumbers = storedBool(settings, "showLineNumbers", o.showLineNumbers);
    o.wrapLines = storedBool(settings, "wrapLines", o.wrapLines);
    o.simpleTextEditor = storedBool(settings, "simpleTextEditor", o.simpleTextEditor);
    return o;
}

void EditorOptions::save(Settings& settings) const {
    // Keys of the window alone, unknown to the engine's table: written to the store directly.
    auto& store = settings.store(StoreKind::standard);
    store.update([this](Dictionary& d) {
        d.set("showInvisibleCharacters", Value(showInvisibleCharacters));
        d.set("showLineNumbers", Value(showLineNumbers));
        d.set("wrapLines", Value(wrapLines));
        d.set("simpleTextEditor", Value(simpleTextEditor));
    });
}

bool trayIconWanted(const Settings& settings) {
    const auto v = settings.value("menuBarIcon");
    return !v || !v->isBool() || v->asBool();
}

PreferencesDialog::PreferencesDialog(AppManager& app, Settings& settings, QWidget* parent)
    : QDialog(parent), m_app(app), m_settings(settings) {
    setObjectName("preferencesDialog");
    setWindowTitle(tr("Preferences"));
    setMinimumWidth(540);
    auto* layout = new QVBoxLayout(this);

    auto* ai = new QGroupBox(tr("AI service"), this);
    auto* aiForm = new QFormLayout(ai);
    m_apiKey = new QLineEdit(QString::fromStdString(m_app.apiKey()), ai);
    m_apiKey->setObjectName("apiKeyLineEdit");
    m_apiKey->setEchoMode(QLineEdit::Password);
    m_apiKey->setPlaceholderText(tr("sk-…"));
    auto* reveal = new QPushButton(tr("Show"), ai);
    reveal->setObjectName("revealApiKeyButton");
    reveal->setCheckable(true);
    connect(reveal, &QPushButton::toggled, this, [this, reveal](bool on) {
        m_apiKey->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password);
        reveal->setText(on ? tr("Hide") : tr("Show"));
    });
    auto* keyRow = new QHBoxLayout();
    keyRow->addWidget(m_apiKey, 1);
    keyRow->addWidget(reveal);
    aiForm->addRow(tr("API key:"), keyRow);
    m_apiKeyProblem = new QLabel(QString::fromStdString(openai::apiKeyProblem(m_app.apiKey())), ai);
    m_apiKeyProblem->setObjectName("apiKeyProblemLabel");
    m_apiKeyProblem->setWordWrap(true);
    m_apiKeyProblem->setVisible(!m_apiKeyProblem->text().isEmpty());
    aiForm->addRow(QString(), m_apiKeyProblem);
    connect(m_apiKey, &QLineEdit::editingFinished, this, &PreferencesDialog::applyApiKey);
    m_aiHost = new QLineEdit(QString::fromStdString(m_settings.string("AIHost")), ai);
    m_aiHost->setObjectName("aiHostLineEdit");
    m_aiHost->setPlaceholderText(QString::fromUtf8(openai::defaultServiceHost));
    m_aiHost->setToolTip(tr("A host name with an optional port, reached over HTTPS. Empty: %1")
                             .arg(QString::fromUtf8(openai::defaultServiceHost)));
    aiForm->addRow(tr("Service host:"), m_aiHost);
    m_aiHostProblem = new QLabel(ai);
    m_aiHostProblem->setObjectName("aiHostProblemLabel");
    m_aiHostProblem->setForegroundRole(QPalette::PlaceholderText);
    m_aiHostProblem->hide();
    aiForm->addRow(QString(), m_aiHostProblem);
    connect(m_aiHost, &QLineEdit::editingFinished, this, &PreferencesDialog::applyAiHost);
    auto* caBundle = new QLineEdit(QString::fromStdString(m_settings.string("AICABundle")), ai);
    caBundle->setObjectName("aiCABundleLineEdit");
    caBundle->setPlaceholderText(tr("The system's certificate authorities"));
    caBundle->setToolTip(tr("A PEM file of the authority that signed a self-hosted service's certificate"));
    aiForm->addRow(tr("Certificate authorities:"), caBundle);
    // Bound to the store, not the dialog: the field reports an edit while the dialog is torn down.
    connect(caBundle, &QLineEdit::editingFinished, caBundle, [&settings = m_settings, caBundle] {
        const std::string file = caBundle->text().trimmed().toStdString();
        if (file != settings.string("AICABundle")) settings.setValue("AICABundle", Value(file));
    });
    layout->addWidget(ai);

    auto* general = new QGroupBox(tr("General"), this);
    auto* generalLayout = new QVBoxLayout(general);
    auto* live = checkBox(tr("Live results while typing"), "liveResultsCheckBox", m_app.liveResults(), general);
    connect(live, &QCheckBox::toggled, this, [this](bool on) { m_app.setLiveResults(on); });
    auto* info = checkBox(tr("Show text statistics"), "viewTextInfoCheckBox", m_app.viewTextInfo(), general);
    connect(info, &QCheckBox::toggled, this, [this](bool on) { m_app.setViewTextInfo(on); });
    auto* tray = checkBox(tr("Show icon in the system tray"), "menuBarIconCheckBox", trayIconWanted(m_settings), general);
    connect(tray, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setValue("menuBarIcon", Value(on));
        emit trayIconChanged(on);
    });
    auto* hide = checkBox(tr("Hide from the task bar"), "hideDockIconCheckBox", m_settings.boolean("HideDockIcon"),
                          general);
    connect(hide, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setValue("HideDockIcon", Value(on));
        emit hideFromTaskBarChanged(on);
    });
    auto* ignore = checkBox(tr("Join text captured from the screen into one line"), "ignoreLineBreaksCheckBox",
                            m_settings.boolean("IgnoreLineBreaks"), general);
    connect(ignore, &QCheckBox::toggled, this, [this](bool on) { m_settings.setValue("IgnoreLineBreaks", Value(on)); });
    for (auto* w : {live, info, tray, hide, ignore}) generalLayout->addWidget(w);
    auto* keep = checkBox(tr("Keep a history of runs"), "keepRunHistoryCheckBox", m_app.keepRunHistory(), general);
    keep->setToolTip(tr("Inputs and results stay on this computer, readable only by you. Runs with an "
                        "Encryption step or over 1 MB of input are never kept."));
    connect(keep, &QCheckBox::toggled, this, [this](bool on) { m_app.setKeepRunHistory(on); });
    auto* clear = new QPushButton(tr("Clear history"), general);
    clear->setObjectName("clearHistoryButton");
    connect(clear, &QPushButton::clicked, this, [this] { m_app.runHistory().clear(); });
    auto* historyRow = new QHBoxLayout();
    historyRow->addWidget(keep, 1);
    historyRow->addWidget(clear);
    generalLayout->addLayout(historyRow);
    layout->addWidget(general);

    auto* sync = new QGroupBox(tr("Synchronisation"), this);
    auto* syncForm = new QFormLayout(sync);
    auto* syncOn = checkBox(tr("Keep workflows in sync through a folder"), "syncCheckBox", m_app.iCloudSyncEnabled(), sync);
    connect(syncOn, &QCheckBox::toggled, this, [this](bool on) { m_app.setICloudSyncEnabled(on); });
    m_syncFolder = new QLineEdit(QString::fromStdString(m_settings.syncFolder().string()), sync);
    m_syncFolder->setObjectName("syncFolderLineEdit");
    m_syncFolder->setReadOnly(true);
    auto* choose = new QPushButton(tr("Choose…"), sync);
    choose->setObjectName("chooseSyncFolderButton");
    connect(choose, &QPushButton::clicked, this, &PreferencesDialog::chooseSyncFolder);
    auto* folderRow = new QHBoxLayout();
    folderRow->addWidget(m_syncFolder, 1);
    folderRow->addWidget(choose);
    syncForm->addRow(syncOn);
    syncForm->addRow(tr("Folder:"), folderRow);
    auto* hint = new QLabel(tr("Point a file sync tool (Syncthing, Nextcloud…) at this folder on each computer."), sync);
    hint->setWordWrap(true);
    hint->setEnabled(false);
    syncForm->addRow(hint);
    layout->addWidget(sync);

    auto* editor = new QGroupBox(tr("Editor"), this);
    auto* editorLayout = new QVBoxLayout(editor);
    const EditorOptions options = EditorOptions::load(m_settings);
    m_invisibles = checkBox(tr("Show invisible characters"), "showInvisibleCharactersCheckBox",
                            options.showInvisibleCharacters, editor);
    m_lineNumbers = checkBox(tr("Show line numbers"), "showLineNumbersCheckBox", options.showLineNumbers, editor);
    m_wrap = checkBox(tr("Wrap lines"), "wrapLinesCheckBox", options.wrapLines, editor);
    m_simple = checkBox(tr("Simple text editor (no syntax colours, line numbers or folding)"),
                        "simpleTextEditorCheckBox", options.simpleTextEditor, editor);
    for (auto* box : {m_invisibles, m_lineNumbers, m_wrap, m_simple}) {
        editorLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &PreferencesDialog::emitEditorOptions);
    }
    // Line numbers belong to the code editor.
    m_lineNumbers->setEnabled(!options.simpleTextEditor);
    connect(m_simple, &QCheckBox::toggled, m_lineNumbers, [this](bool on) { m_lineNumbers->setEnabled(!on); });
    layout->addWidget(editor);

    auto* appearance = new QGroupBox(tr("Appearance"), this);
    auto* appearanceForm = new QFormLayout(appearance);
    m_theme = new QComboBox(appearance);
    m_theme->setObjectName("themeComboBox");
    m_theme->addItem(tr("Follow desktop"), int(ThemeChoice::followDesktop));
    m_theme->addItem(tr("Light"), int(ThemeChoice::light));
    m_theme->addItem(tr("Dark"), int(ThemeChoice::dark));
    m_theme->setCurrentIndex(m_theme->findData(int(loadThemeChoice(m_settings))));
    connect(m_theme, &QComboBox::currentIndexChanged, this, [this] {
        const auto choice = ThemeChoice(m_theme->currentData().toInt());
        saveThemeChoice(m_settings, choice);
        const bool dark = themeIsDark(choice);
        if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
            applyTheme(*application, dark);
        emit themeChanged(dark);
    });
    appearanceForm->addRow(tr("Theme:"), m_theme);
    if (!qEnvironmentVariableIsEmpty("LEXORRA_STYLE")) {
        auto* forced = new QLabel(tr("LEXORRA_STYLE is set and decides the theme for now."), appearance);
        forced->setEnabled(false);
        appearanceForm->addRow(forced);
    }
    layout->addWidget(appearance);

    layout->addWidget(new GlobalShortcutsPanel(GlobalShortcuts::current(), this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        applyApiKey();
        reject();
    });
    layout->addWidget(buttons);
}

// The key field loses focus while its children are torn down and would report an edit to
// a dialog that is already half gone.
PreferencesDialog::~PreferencesDialog() {
    m_apiKey->disconnect(this);
    m_aiHost->disconnect(this);
}

void PreferencesDialog::applyAiHost() {
    const std::string host = m_aiHost->text().trimmed().toStdString();
    // The key travels with every request: only a plain host name is kept, never an
    // address with another scheme or a path.
    if (!host.empty() && !openai::isServiceHostName(host)) {
        m_aiHostProblem->setText(tr("Not a host name; requests still go to %1.")
                                     .arg(QString::fromStdString(openai::readSharedServiceHost())));
        m_aiHostProblem->show();
        return;
    }
    m_aiHostProblem->hide();
    if (host != m_settings.string("AIHost")) m_settings.setValue("AIHost", Value(host));
}

void PreferencesDialog::applyApiKey() {
    const std::string key = m_apiKey->text().trimmed().toStdString();
    if (!openai::apiKeyProblem(key).empty()) {
        m_apiKeyProblem->setText(tr("The key holds a line break or another control character and was not saved; "
                                    "paste the key alone."));
        m_apiKeyProblem->show();
        return;
    }
    m_apiKeyProblem->hide();
    if (key == m_app.apiKey()) return;
    openai::saveSharedApiKey(m_settings, key);
    m_app.setApiKey(key);
    // The AI action is offered only with a key.
    m_app.rebuildActionsSeqArray();
}

void PreferencesDialog::chooseSyncFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Choose the sync folder"), m_syncFolder->text());
    if (folder.isEmpty()) return;
    if (!m_settings.setValue("SyncFolder", Value(folder.toStdString()))) return;
    m_syncFolder->setText(folder);
    if (m_app.iCloudSyncEnabled()) {
        // Reopen the mirror on the new folder.
        m_app.setICloudSyncEnabled(false);
        m_app.setICloudSyncEnabled(true);
    }
}

void PreferencesDialog::emitEditorOptions() {
    const EditorOptions options{.showInvisibleCharacters = m_invisibles->isChecked(),
                                .showLineNumbers = m_lineNumbers->isChecked(),
                                .wrapLines = m_wrap->isChecked(),
                                .simpleTextEditor = m_simple->isChecked()};
    options.save(m_settings);
    emit editorOptionsChanged(options);
}

} // namespace lexorra::shell
