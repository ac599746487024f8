// Picking a screen region: the desktop portal where one runs, else a selector of our own.
#include "shell/ScreenCapture.h"
#include "shell/ScreenshotPortal.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lexorra::shell {
namespace {

void logLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// A still of the screen, dimmed, over which the user drags a rectangle; Escape or a click
// without a drag cancels.
class RegionSelector : public QWidget {
public:
    explicit RegionSelector(QScreen* screen)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
          m_still(screen->grabWindow(0)), m_band(new QRubberBand(QRubberBand::Rectangle, this)) {
        setObjectName("regionSelector");
        setCursor(Qt::CrossCursor);
        setGeometry(screen->geometry());
    }
    QPixmap picked;
    QEventLoop loop;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(rect(), m_still);
        p.fillRect(rect(), QColor(0, 0, 0, 90));
        if (m_band->isVisible()) p.drawPixmap(m_band->geometry(), m_still, sourceRect(m_band->geometry()));
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(0, 24, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   tr("Drag over the text or QR code to read. Esc cancels."));
    }
    void mousePressEvent(QMouseEvent* e) override {
        m_origin = e->position().toPoint();
        m_band->setGeometry(QRect(m_origin, QSize()));
        m_band->show();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        m_band->setGeometry(between(m_origin, e->position().toPoint()));
        update();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        // The release point counts even when no move was reported after the last one.
        const QRect area = between(m_origin, e->position().toPoint()) & rect();
        if (area.width() > 3 && area.height() > 3) picked = m_still.copy(sourceRect(area));
        close();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) close();
    }
    void closeEvent(QCloseEvent*) override { loop.quit(); }

private:
    // The pixels swept from one corner to the other, the far corner excluded.
    static QRect between(QPoint a, QPoint b) {
        return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                     QSize(std::abs(a.x() - b.x()), std::abs(a.y() - b.y())));
    }
    QRect sourceRect(const QRect& area) const {
        const qreal ratio = m_still.devicePixelRatio();
        return QRect((area.topLeft() * ratio), area.size() * ratio);
    }
    QPixmap m_still;
    QRubberBand* m_band;
    QPoint m_origin;
};

} // namespace

bool selectorCaptureRegion(const std::string& file) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    RegionSelector selector(screen);
    selector.showFullScreen();
    selector.activateWindow();
    selector.loop.exec();
    if (selector.picked.isNull()) return false;
    return savePrivatePicture(selector.picked.toImage(), file);
}

bool screenCaptureSupported(const RegionSource& source) {
    return portalScreenshotAvailable(source.bus) || source.fallback || QGuiApplication::platformName() == "xcb";
}

bool captureRegionToFile(const std::string& file, const RegionSource& source) {
    using Status = PortalShot::Status;
    const PortalShot shot = portalScreenshot(source.bus, file, source.portalTimeout);
    switch (shot.status) {
    case Status::saved: return true;
    case Status::cancelled: return false;
    case Status::timedOut:
        // The user may have walked away from a stuck dialog; a second picker would surprise them.
        logLine("Screenshot portal: " + shot.detail);
        return false;
    case Status::failed: logLine("Screenshot portal: " + shot.detail); break;
    case Status::unavailable: break;
    }
    if (source.fallback) return source.fallback(file);
    if (QGuiApplication::platformName() == "xcb") return selectorCaptureRegion(file);
    return false;
}

} // namespace lexorra::shell

