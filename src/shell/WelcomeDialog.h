#pragma once

#include <QDialog>

namespace lexorra {
class Settings;
}

namespace lexorra::shell {

// The greeting of the very first start: what the application does and how to begin. Shown
// once; "welcomeScreenShown" in the user's standard store remembers it.
class WelcomeDialog : public QDialog {
    Q_OBJECT

public:
    explicit WelcomeDialog(QWidget* parent = nullptr);

    static const QString& text();
};

bool welcomeWanted(const Settings& settings);
void rememberWelcomeShown(Settings& settings);
// Opens the dialog (not modal) when it was never shown and remembers that it was; nullptr
// when it had been shown before.
WelcomeDialog* showWelcomeOnce(Settings& settings, QWidget* parent);

} // namespace lexorra::shell
