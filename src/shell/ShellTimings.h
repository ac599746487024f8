#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;
class QWidget;

namespace lexorra::shell {

// Start-up and responsiveness figures for whoever tunes the window; silent unless asked for
// through the environment.

// Call first thing in main(): the moment start-up time is counted from.
void markLaunch();
// With LEXORRA_TIMING set, writes to stderr the milliseconds from markLaunch() to the first
// time the window is exposed on screen; LEXORRA_TIMING=exit then quits the application.
void reportFirstExpose(QWidget* window);

// Notices when the main thread was busy: a timer that should tick every few milliseconds,
// whose late ticks measure how long the event loop could not run. With a report threshold,
// each stall at least that long is written to stderr as it is noticed.
class StallWatchdog : public QObject {
    Q_OBJECT

public:
    explicit StallWatchdog(QObject* parent = nullptr, int reportAboveMs = -1);

    void start();
    void stop();
    // The longest time between two ticks beyond the tick interval, since start() or reset().
    qint64 longestStallMs() const { return m_longest; }
    void reset();

    // LEXORRA_STALL_WATCH=MS starts one that reports stalls of MS milliseconds or more.
    static StallWatchdog* fromEnvironment(QObject* parent);

    static constexpr int tickMs = 5;

private:
    void tick();

    QTimer* m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_reportAbove;
};

} // namespace lexorra::shell
