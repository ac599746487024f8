// Picking a screen region: the desktop portal where one runs, else a selector of our own.
#include "shell/ScreenCapture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QUuid>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace lexorra::shell {
namespace {

constexpr const char* portalService = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";

// Receives the portal's answer to one request.
class PortalResponse : public QObject {
    Q_OBJECT

public:
    uint code = 2;
    QVariantMap results;
    QEventLoop loop;

public slots:
    void onResponse(uint response, const QVariantMap& values) {
        code = response;
        results = values;
        loop.quit();
    }
};

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

bool portalScreenshotAvailable() {
    auto bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(portalService).value();
}

bool portalCaptureRegion(const std::string& file, bool* cancelled) {
    if (cancelled) *cancelled = false;
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    const QString token = "lexorra" + QUuid::createUuid().toString(QUuid::Id128);
    QString sender = bus.baseService().mid(1);
    sender.replace('.', '_');
    const QString requestPath = QString("%1/request/%2/%3").arg(portalPath, sender, token);

    // Listen before asking: the answer may come before the call returns.
    PortalResponse response;
    bus.connect(portalService, requestPath, "org.freedesktop.portal.Request", "Response", &response,
                SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, "org.freedesktop.portal.Screenshot",
                                                       "Screenshot");
    QVariantMap options{{"handle_token", token}, {"interactive", true}, {"modal", true}};
    call << QString() << options;
    const QDBusMessage reply = bus.call(call);
    if (reply.type() == QDBusMessage::ErrorMessage) return false;
    response.loop.exec();
    bus.disconnect(portalService, requestPath, "org.freedesktop.portal.Request", "Response", &response,
                   SLOT(onResponse(uint, QVariantMap)));
    if (response.code == 1 && cancelled) *cancelled = true;
    if (response.code != 0) return false;
    const QUrl uri(response.results.value("uri").toString());
    if (!uri.isLocalFile()) return false;
    // The portal hands over a whole picture (the user cropped it, or we read all of it).
    QFile::remove(QString::fromStdString(file));
    const bool copied = QFile::copy(uri.toLocalFile(), QString::fromStdString(file));
    QFile::remove(uri.toLocalFile());
    return copied;
}

bool selectorCaptureRegion(const std::string& file) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    RegionSelector selector(screen);
    selector.showFullScreen();
    selector.activateWindow();
    selector.loop.exec();
    if (selector.picked.isNull()) return false;
    return selector.picked.save(QString::fromStdString(file), "PNG");
}

bool screenCaptureSupported() {
    return portalScreenshotAvailable() || QGuiApplication::platformName() == "xcb";
}

bool captureRegionToFile(const std::string& file) {
    if (portalScreenshotAvailable()) {
        bool cancelled = false;
        if (portalCaptureRegion(file, &cancelled)) return true;
        if (cancelled) return false;
    }
    if (QGuiApplication::platformName() == "xcb") return selectorCaptureRegion(file);
    return false;
}

} // namespace lexorra::shell

#include "RegionCapture.moc"
