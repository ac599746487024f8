#include "actions/lines/TextActionReplaceString.h"
#include "core/AppManager.h"
#include "core/SettingsStore.h"
#include "shell/MainWindow.h"
#include "shell/QtScheduler.h"
#include "shell/ShellTimings.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdio>

namespace lexorra::testing {
namespace {

// The real scheduler, as in the application: transforms run on the thread pool and only
// publishing comes back to the main thread, which must stay free meanwhile.
TEST(StallTest, ACatastrophicRegexKeepsTheWindowResponsive) {
    TemporaryXdgHome home;
    Settings settings;
    StoredSettings standard(settings);
    shell::QtScheduler scheduler;
    AppManager app({.scheduler = scheduler, .settings = standard, .stores = &settings});
    app.startUp();
    shell::MainWindow window(app);
    window.show();
    auto workflow = app.createWorkflow("Catastrophic");
    workflow->actionsArray = replaceWorkflow("", "(a+)+$", "x", true)->actionsArray;
    app.setSelectedworkflowSeq(workflow);

    shell::StallWatchdog watchdog;
    watchdog.start();
    QElapsedTimer clock;
    clock.start();
    app.setInputString(std::string(30000, 'a') + "!");
    const std::string before = app.resultString();
    // Wait for the debounced live run and its result (or its time-out marker).
    while (clock.elapsed() < 30000 && (app.resultString() == before || app.loadingResults()))
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    watchdog.stop();
    std::printf("[ figures  ] catastrophic regex over 30,001 characters: result after %lld ms, longest stall %lld ms\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(watchdog.longestStallMs()));
    EXPECT_NE(app.resultString(), before);
    EXPECT_EQ(app.resultString(), TextActionReplaceString::timedOutMarker);
    EXPECT_LT(watchdog.longestStallMs(), 1000);
}

} // namespace
} // namespace lexorra::testing
