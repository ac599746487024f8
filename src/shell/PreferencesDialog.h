#pragma once

#include "core/AppManager.h"
#include "core/SettingsStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lexorra::shell {

// How the two text editors look; kept in the user's own store.
struct EditorOptions {
    bool showInvisibleCharacters = false;
    bool showLineNumbers = false;
    bool wrapLines = true;
    // A plain text field: no colouring, line numbers or folding.
    bool simpleTextEditor = false;

    static EditorOptions load(const Settings& settings);
    void save(Settings& settings) const;
};

// Whether the tray icon is wanted: an absent "menuBarIcon" means yes.
bool trayIconWanted(const Settings& settings);

// The preferences window. Every control applies at once: through the controller where it
// owns the value (live results, statistics, sync), else straight into the settings stores.
class PreferencesDialog : public QDialog {
    Q_OBJECT

public:
    PreferencesDialog(AppManager& app, Settings& settings, QWidget* parent = nullptr);
    ~PreferencesDialog() override;

signals:
    void editorOptionsChanged(const lexorra::shell::EditorOptions& options);
    void trayIconChanged(bool shown);
    void hideFromTaskBarChanged(bool hidden);
    // After the new palette has been applied to the application.
    void themeChanged(bool dark);

private:
    void applyApiKey();
    void applyAiHost();
    void chooseSyncFolder();
    void emitEditorOptions();

    AppManager& m_app;
    Settings& m_settings;
    QLineEdit* m_apiKey;
    QLineEdit* m_aiHost = nullptr;
    QLabel* m_aiHostProblem = nullptr;
    QLabel* m_apiKeyProblem = nullptr;
    QLineEdit* m_syncFolder;
    QCheckBox* m_invisibles;
    QCheckBox* m_lineNumbers;
    QCheckBox* m_wrap;
    QCheckBox* m_simple;
    QComboBox* m_theme;
};

} // namespace lexorra::shell
