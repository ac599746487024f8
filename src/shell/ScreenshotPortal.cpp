#include "shell/ScreenshotPortal.h"

#include "shell/ScreenCapture.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <cstdio>
#include <optional>

namespace lexorra::shell {
namespace {

constexpr const char* portalService = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* requestInterface = "org.freedesktop.portal.Request";

void logLine(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Listens for the Response signal of one request object. The path can change once the portal
// has named the request: portals older than the naming convention choose their own.
class RequestListener : public QObject {
    Q_OBJECT

public:
    RequestListener(const QDBusConnection& bus, QEventLoop& loop) : m_bus(bus), m_loop(loop) {}
    ~RequestListener() override { stop(); }

    bool listen(const QString& path) {
        stop();
        m_path = path;
        m_listening =
            m_bus.connect(portalService, path, requestInterface, "Response", this, SLOT(onResponse(uint, QVariantMap)));
        return m_listening;
    }
    void stop() {
        if (m_listening)
            m_bus.disconnect(portalService, m_path, requestInterface, "Response", this,
                             SLOT(onResponse(uint, QVariantMap)));
        m_listening = false;
    }
    const QString& path() const { return m_path; }

    std::optional<uint> code;
    QVariantMap results;

public slots:
    void onResponse(uint response, const QVariantMap& values) {
        if (code) return;
        code = response;
        results = values;
        m_loop.quit();
    }

private:
    QDBusConnection m_bus;
    QEventLoop& m_loop;
    QString m_path;
    bool m_listening = false;
};

QString stringResult(const QVariantMap& results, const char* key) {
    QVariant value = results.value(key);
    // Depending on how the map was read, the entries may still be wrapped as variants.
    if (value.userType() == qMetaTypeId<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    return value.userType() == QMetaType::QString ? value.toString() : QString();
}

// Copies the portal's picture to our capture file as PNG, whole or not at all.
PortalShot takePicture(const QString& uri, const std::string& file) {
    using Status = PortalShot::Status;
    const auto source = localFileOfUri(uri);
    if (!source) return {Status::failed, "the portal answered without a local picture (" + uri.toStdString() + ")"};
    const QImage image(*source);
    if (image.isNull()) return {Status::failed, "the portal's picture cannot be read: " + source->toStdString()};
    const QString target = QString::fromStdString(file);
    if (!savePrivatePicture(image, file)) return {Status::failed, "cannot write " + file};
    // The picture was made for this request alone; a copy in the user's folders would pile up.
    if (QFileInfo(*source).canonicalFilePath() != QFileInfo(target).canonicalFilePath()) QFile::remove(*source);
    return {Status::saved, {}};
}

} // namespace

QString portalRequestPath(const QString& uniqueName, const QString& token) {
    QString sender = uniqueName.startsWith(':') ? uniqueName.mid(1) : uniqueName;
    sender.replace('.', '_');
    return QStringLiteral("%1/request/%2/%3").arg(portalPath, sender, token);
}

std::optional<QString> localFileOfUri(const QString& uri) {
    // Tolerant: some portals leave spaces unescaped.
    const QUrl url(uri);
    if (!url.isValid() || url.scheme().compare("file", Qt::CaseInsensitive) != 0) return std::nullopt;
    // "file://localhost/..." names this machine as well as "file:///..." does.
    const QString host = url.host();
    if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0) return std::nullopt;
    // An escaped slash or NUL cannot be part of a file name.
    const QString encoded = url.path(QUrl::FullyEncoded);
    if (encoded.contains("%2F", Qt::CaseInsensitive) || encoded.contains("%00")) return std::nullopt;
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith('/')) return std::nullopt;
    return path;
}

bool portalScreenshotAvailable(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    if (bus.interface()->isServiceRegistered(portalService).value()) return true;
    // The portal usually starts on demand: the first call to its name launches it.
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(portalService);
}

PortalShot portalScreenshot(const QDBusConnection& bus, const std::string& file, std::chrono::milliseconds timeout) {
    using Status = PortalShot::Status;
    if (!portalScreenshotAvailable(bus)) return {Status::unavailable, "no desktop portal on the session bus"};

    QEventLoop loop;
    // The token must be a valid object path element: letters, digits and underscores.
    const QString token = "lexorra_" + QUuid::createUuid().toString(QUuid::Id128);
    RequestListener request(bus, loop);
    // Listen before asking: the answer may come before the call returns.
    if (!request.listen(portalRequestPath(bus.baseService(), token)))
        return {Status::failed, "cannot listen for the portal's answer"};

    bool portalLeft = false;
    QDBusServiceWatcher watcher(portalService, bus, QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, [&] {
        portalLeft = true;
        loop.quit();
    });
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });

    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, "org.freedesktop.portal.Screenshot", "Screenshot");
    call << QString() << QVariantMap{{"handle_token", token}, {"interactive", true}, {"modal", true}};
    QString callError;
    // The call's own limit lies beyond ours, so that a portal that does not even reply counts as
    // not answering in time (and gets its request closed) rather than as refusing.
    QDBusPendingCallWatcher pending(bus.asyncCall(call, static_cast<int>(timeout.count()) + 5000));
    QObject::connect(&pending, &QDBusPendingCallWatcher::finished, &loop, [&](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<QDBusObjectPath> reply = *done;
        if (reply.isError()) {
            callError = reply.error().name() + ": " + reply.error().message();
            loop.quit();
            return;
        }
        // An older portal names the request its own way; follow it there.
        const QString handle = reply.value().path();
        if (!request.code && handle != request.path() && !handle.isEmpty()) request.listen(handle);
    });

    timer.start(timeout);
    if (!request.code) loop.exec();
    timer.stop();
    request.stop();

    if (request.code) {
        if (*request.code == 1) return {Status::cancelled, {}};
        if (*request.code != 0)
            return {Status::failed, "the portal ended the request (response " + std::to_string(*request.code) + ")"};
        return takePicture(stringResult(request.results, "uri"), file);
    }
    if (!callError.isEmpty()) return {Status::failed, "the portal refused the request: " + callError.toStdString()};
    if (portalLeft) return {Status::failed, "the portal left the bus before it answered"};
    if (timedOut) {
        // Ends the portal's dialog too, so that it does not answer a caller that has moved on.
        bus.send(QDBusMessage::createMethodCall(portalService, request.path(), requestInterface, "Close"));
        logLine("Screenshot portal: closed the request after " + QString::number(timeout.count()) + " ms");
        return {Status::timedOut, "the portal did not answer in time"};
    }
    return {Status::failed, "the wait for the portal ended without an answer"};
}

} // namespace lexorra::shell

#include "ScreenshotPortal.moc"
