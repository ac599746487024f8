#include "shell/ShellTimings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace lexorra::shell {
namespace {

std::chrono::steady_clock::time_point& launchTime() {
    static std::chrono::steady_clock::time_point t = std::chrono::steady_clock::now();
    return t;
}

class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QObject* parent, bool quitAfter) : QObject(parent), m_quit(quitAfter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - launchTime());
            std::fprintf(stderr, "lexorra: window first exposed %.1f ms after launch\n", ms.count());
            std::fflush(stderr);
            watched->removeEventFilter(this);
            if (m_quit) QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
            deleteLater();
        }
        return false;
    }

private:
    bool m_quit;
};

} // namespace

void markLaunch() { launchTime() = std::chrono::steady_clock::now(); }

void reportFirstExpose(QWidget* window) {
    const QString mode = qEnvironmentVariable("LEXORRA_TIMING");
    if (mode.isEmpty() || mode == "0") return;
    window->winId(); // makes the native window, so that its expose events can be watched
    if (QWindow* handle = window->windowHandle())
        handle->installEventFilter(new ExposeWatcher(window, mode == "exit"));
}

StallWatchdog::StallWatchdog(QObject* parent, int reportAboveMs)
    : QObject(parent), m_timer(new QTimer(this)), m_reportAbove(reportAboveMs) {
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, &StallWatchdog::tick);
}

void StallWatchdog::start() {
    m_clock.start();
    m_last = 0;
    m_longest = 0;
    m_timer->start();
}

void StallWatchdog::stop() {
    tick();
    m_timer->stop();
}

void StallWatchdog::reset() {
    m_last = m_clock.elapsed();
    m_longest = 0;
}

void StallWatchdog::tick() {
    const qint64 now = m_clock.elapsed();
    const qint64 stall = now - m_last - tickMs;
    m_last = now;
    if (stall > m_longest) m_longest = stall;
    if (m_reportAbove >= 0 && stall >= m_reportAbove) {
        std::fprintf(stderr, "lexorra: main thread stalled %lld ms\n", static_cast<long long>(stall));
        std::fflush(stderr);
    }
}

StallWatchdog* StallWatchdog::fromEnvironment(QObject* parent) {
    bool ok = false;
    const int threshold = qEnvironmentVariable("LEXORRA_STALL_WATCH").toInt(&ok);
    if (!ok || threshold < 0) return nullptr;
    auto* watchdog = new StallWatchdog(parent, threshold);
    watchdog->start();
    return watchdog;
}

} // namespace lexorra::shell
