#include "shell/ScreenCapture.h"
#include "support/TemporaryXdgHome.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace lexorra::testing {
namespace {

QWidget* openSelector() {
    for (auto* w : QApplication::topLevelWidgets())
        if (w->objectName() == "regionSelector" && w->isVisible()) return w;
    return nullptr;
}

// Drives the selector once it shows: the selector runs its own event loop, so the gestures
// are queued before it starts.
void whenSelectorShows(std::function<void(QWidget*)> gesture) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, gesture] {
        if (QWidget* selector = openSelector()) {
            timer->stop();
            timer->deleteLater();
            gesture(selector);
        }
    });
    timer->start();
}

class RegionSelectorTest : public ::testing::Test {
protected:
    std::string file() const { return (home.root / "region.png").string(); }
    TemporaryXdgHome home;
};

TEST_F(RegionSelectorTest, DraggedRectangleIsSavedAsPng) {
    whenSelectorShows([](QWidget* selector) {
        QTest::mousePress(selector, Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseMove(selector, QPoint(60, 50));
        QTest::mouseRelease(selector, Qt::LeftButton, {}, QPoint(110, 80));
    });
    ASSERT_TRUE(shell::selectorCaptureRegion(file()));
    const QImage saved(QString::fromStdString(file()));
    ASSERT_FALSE(saved.isNull());
    const qreal ratio = QApplication::primaryScreen()->devicePixelRatio();
    EXPECT_EQ(saved.width(), qRound(100 * ratio));
    EXPECT_EQ(saved.height(), qRound(60 * ratio));
    EXPECT_EQ(openSelector(), nullptr);
}

// Escape, or a click without dragging, cancels and leaves no file.
TEST_F(RegionSelectorTest, EscapeOrAClickWithoutDraggingCancels) {
    const std::function<void(QWidget*)> gestures[] = {
        [](QWidget* selector) { QTest::keyClick(selector, Qt::Key_Escape); },
        [](QWidget* selector) {
            QTest::mousePress(selector, Qt::LeftButton, {}, QPoint(30, 30));
            QTest::mouseRelease(selector, Qt::LeftButton, {}, QPoint(31, 31));
        },
    };
    for (const auto& gesture : gestures) {
        whenSelectorShows(gesture);
        EXPECT_FALSE(shell::selectorCaptureRegion(file()));
        EXPECT_FALSE(std::filesystem::exists(file()));
    }
}

} // namespace
} // namespace lexorra::testing
