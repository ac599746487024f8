#pragma once

#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "core/SettingsStore.h"
#include "shell/DesktopServices.h"
#include "shell/MainWindow.h"
#include "support/TemporaryXdgHome.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lexorra::testing {

// Notices the tests can read back instead of windows on a screen nobody looks at.
class RecordedNotices : public Notices {
public:
    void show(const std::string& message, NoticeStyle style, double seconds) override {
        shown.push_back({message, style, seconds});
    }
    struct Entry {
        std::string message;
        NoticeStyle style;
        double seconds;
    };
    std::vector<Entry> shown;
};

// The real main window, with its settings, over a controller whose clock the test moves:
// debounces fire exactly when advanced, and background runs happen inline.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    // Quits and starts again over the same configuration folder.
    void restart() {
        TearDown();
        start();
    }
    void start() {
        settings = std::make_unique<Settings>();
        standard = std::make_unique<StoredSettings>(*settings);
        app = std::make_unique<AppManager>(AppManager::Services{.scheduler = scheduler,
                                                                .settings = *standard,
                                                                .clipboard = &clipboard,
                                                                .notices = &notices,
                                                                .stores = settings.get()});
        app->startUp();
        settle();
        window = std::make_unique<shell::MainWindow>(*app);
        window->setSettings(settings.get());
        window->show();
        settle();
    }
    void TearDown() override {
        window.reset();
        app.reset();
    }

    // Moves the controller's clock and lets Qt deliver what that caused.
    void settle(double seconds = 0.0) {
        // Rebuilt panels delete their old widgets later; drop them so that names are unique.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        scheduler.advance(seconds);
        QApplication::processEvents();
        scheduler.runPending();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class T> T* find(const char* name) const { return window->findChild<T*>(QString::fromLatin1(name)); }
    // The sidebar row with this text, or nullptr.
    QTreeWidgetItem* sidebarItem(const QString& text) const {
        const auto items =
            find<QTreeWidget>("sidebarTreeWidget")->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.front();
    }
    // Selects the sidebar row with this text, as a click would.
    void select(const QString& text) {
        auto* item = sidebarItem(text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        find<QTreeWidget>("sidebarTreeWidget")->setCurrentItem(item);
        settle(0.5);
    }
    // Types into a field and leaves it, as a user finishing an entry does.
    static void enter(QLineEdit* edit, const QString& text) {
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
        emit edit->editingFinished();
    }
    // The window's command with this text, or nullptr.
    QAction* command(const QString& text) const {
        for (auto* action : window->findChildren<QAction*>())
            if (action->text() == text) return action;
        return nullptr;
    }

    TemporaryXdgHome home;
    ManualScheduler scheduler;
    shell::DesktopClipboard clipboard;
    RecordedNotices notices;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<StoredSettings> standard;
    std::unique_ptr<AppManager> app;
    std::unique_ptr<shell::MainWindow> window;
};

} // namespace lexorra::testing
