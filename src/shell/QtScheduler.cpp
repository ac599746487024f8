#include "shell/QtScheduler.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QTimer>

namespace lexorra::shell {

void QtScheduler::postMain(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void QtScheduler::postMainAfter(double seconds, std::function<void()> task) {
    // Timers must be started from the main thread: hop there first.
    postMain([seconds, task = std::move(task)]() mutable {
        QTimer::singleShot(static_cast<int>(seconds * 1000.0), QCoreApplication::instance(), std::move(task));
    });
}

void QtScheduler::runBackground(std::function<void()> task) {
    QThreadPool::globalInstance()->start(std::move(task));
}

} // namespace lexorra::shell
