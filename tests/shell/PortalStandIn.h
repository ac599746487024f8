#pragma once

// A bus daemon of the test's own and a stand-in for the desktop portal's screenshot service
// on it, answering the way the portal documents: the request handle is built from the
// caller's unique name and its "handle_token", the answer is the Response(u, a{sv}) signal
// on that handle (0 with a "uri", 1 cancelled by the user, 2 ended otherwise), and
// Request.Close ends a request without an answer. The same object stands in for the
// GlobalShortcuts interface (sessions, bindings, the Activated signal) unless told not to.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

namespace lexorra::testing {

// An entry of the portal's a(sa{sv}) shortcut lists, as the bus carries it.
struct StandInShortcut {
    QString id;
    QVariantMap properties;
};
inline QDBusArgument& operator<<(QDBusArgument& argument, const StandInShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}
inline const QDBusArgument& operator>>(const QDBusArgument& argument, StandInShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace lexorra::testing

Q_DECLARE_METATYPE(lexorra::testing::StandInShortcut)

namespace lexorra::testing {

// dbus-daemon with a minimal configuration: nothing is activatable, so no real service can
// answer in place of the stand-in.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& dir) : m_dir(dir) {}
    ~PrivateBus() { stop(); }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Starts the daemon; on failure `why` says what went wrong. Services described in
    // `serviceDir` (if given) are started on demand.
    bool start(std::string& why, const std::filesystem::path& serviceDir = {}) {
        std::filesystem::create_directories(m_dir);
        const auto config = m_dir / "bus.conf";
        std::ofstream(config)
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
               "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir="
            << m_dir.string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
               "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
            << (serviceDir.empty() ? std::string() : "<servicedir>" + serviceDir.string() + "</servicedir>")
            << "</busconfig>\n";
        m_daemon.setProgram("dbus-daemon");
        m_daemon.setArguments(
            {"--config-file=" + QString::fromStdString(config.string()), "--nofork", "--print-address=1"});
        m_daemon.start();
        if (!m_daemon.waitForStarted(5000)) {
            why = "dbus-daemon cannot be started: " + m_daemon.errorString().toStdString();
            return false;
        }
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (address.isEmpty()) {
            why = "dbus-daemon printed no address: " + m_daemon.readAllStandardError().toStdString();
            return false;
        }
        return true;
    }
    // A new connection of its own (its own unique name) to this bus.
    QDBusConnection connect(const QString& name) {
        m_names.push_back(name);
        return QDBusConnection::connectToBus(address, name);
    }
    void stop() {
        for (const auto& name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_names.clear();
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(3000)) m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }

    QString address;

private:
    std::filesystem::path m_dir;
    QProcess m_daemon;
    std::vector<QString> m_names;
};

// The screenshot service. It lives in a thread of its own, so that it answers even while
// the caller's thread waits.
class ScreenshotPortalStandIn : public QDBusVirtualObject {
public:
    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* desktopPath = "/org/freedesktop/portal/desktop";

    enum class Answer {
        picture,           // response 0 and the uri of the picture written
        cancel,            // response 1
        otherError,        // response 2
        silent,            // replies with the handle and never answers
        mute,              // does not even reply to the call
        refuse,            // the call itself fails with a D-Bus error
        answerBeforeReply, // Response is sent before the method reply
        ownHandle,         // like portals older than the naming convention: a handle of its own
        leave,             // replies with the handle, then leaves the bus without answering
    };
    struct Request {
        QString sender;
        QVariantMap options;
        QString handle;
    };

    ScreenshotPortalStandIn(const QDBusConnection& bus, const std::filesystem::path& pictureDir)
        : m_bus(bus), m_pictureDir(pictureDir) {
        qDBusRegisterMetaType<StandInShortcut>();
        qDBusRegisterMetaType<QList<StandInShortcut>>();
        std::filesystem::create_directories(pictureDir);
        m_thread.start();
        moveToThread(&m_thread);
    }
    ~ScreenshotPortalStandIn() override {
        inOwnThread([this] {
            m_bus.unregisterObject(desktopPath, QDBusConnection::UnregisterTree);
            m_bus.unregisterService(service);
        });
        m_thread.quit();
        m_thread.wait();
    }

    // Takes the portal's name on the bus. The registration hangs helpers below the object, so
    // it happens in the object's thread.
    bool publish() {
        bool done = false;
        inOwnThread([this, &done] {
            done = m_bus.registerVirtualObject(desktopPath, this, QDBusConnection::SubPath) &&
                   m_bus.registerService(service);
        });
        return done;
    }

    // What the next requests get.
    void answerWith(Answer answer, QImage picture = {}, int delayMs = 0) {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
        m_picture = std::move(picture);
        m_delayMs = delayMs;
    }
    // The file name the picture is written under (characters that must be escaped in a uri).
    void pictureName(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_pictureName = name;
    }
    // Answers with this uri instead of the picture's.
    void uriOverride(const QString& uri) {
        std::lock_guard lock(m_mutex);
        m_uriOverride = uri;
    }

    std::vector<Request> requests() const { return locked(m_requests); }
    std::vector<QString> closed() const { return locked(m_closed); }
    std::filesystem::path lastPicture() const { return locked(m_lastPicture); }

    // GlobalShortcuts: whether the desktop offers it, the keys it reports as bound (by id),
    // what was bound and how often the user's dialog was asked for.
    void offerShortcuts(bool offered, std::map<QString, QString> triggers = {}) {
        std::lock_guard lock(m_mutex);
        m_offerShortcuts = offered;
        m_triggers = std::move(triggers);
    }
    std::vector<StandInShortcut> boundShortcuts() const { return locked(m_bound); }
    int configureCalls() const { return m_configureCalls; }
    QString session() const { return locked(m_session); }
    // The user pressing the keys of a shortcut (of another application's session when given).
    void activate(const QString& id, QString session = {}) {
        if (session.isEmpty()) session = this->session();
        QDBusMessage signal = QDBusMessage::createSignal(desktopPath, shortcutsInterface, "Activated");
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(0) << QVariantMap();
        m_bus.send(signal);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) return false;
        if (message.interface() == "org.freedesktop.portal.Request" && message.member() == "Close") {
            {
                std::lock_guard lock(m_mutex);
                m_closed.push_back(message.path());
            }
            connection.send(message.createReply());
            return true;
        }
        if (message.path() == desktopPath &&
            (message.interface() == shortcutsInterface || message.interface() == "org.freedesktop.DBus.Properties"))
            return handleShortcuts(message, connection);
        if (message.path() != desktopPath || message.interface() != "org.freedesktop.portal.Screenshot" ||
            message.member() != "Screenshot")
            return false;
        if (message.signature() != "sa{sv}") {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "expected (s a{sv})"));
            return true;
        }
        Request request;
        request.sender = message.service();
        request.options = qdbus_cast<QVariantMap>(message.arguments().at(1));
        QString token = request.options.value("handle_token").toString();
        std::unique_lock lock(m_mutex);
        const int number = static_cast<int>(m_requests.size()) + 1;
        if (token.isEmpty()) token = QString("t%1").arg(number);
        request.handle = m_answer == Answer::ownHandle ? QString("%1/request/legacy/r%2").arg(desktopPath).arg(number)
                                                       : conventionalPath("request", request.sender, token);
        m_requests.push_back(request);
        const Answer answer = m_answer;
        const int delay = m_delayMs;
        uint code = answer == Answer::cancel ? 1u : answer == Answer::otherError ? 2u : 0u;
        QVariantMap results;
        if (code == 0) results.insert("uri", writePicture());
        lock.unlock();

        const QString handle = request.handle;
        const QString caller = request.sender;
        auto respond = [this, connection, handle, caller, code, results] {
            {
                std::lock_guard guard(m_mutex);
                for (const auto& path : m_closed)
                    if (path == handle) return; // closed requests stay silent
            }
            QDBusMessage signal =
                QDBusMessage::createTargetedSignal(caller, handle, "org.freedesktop.portal.Request", "Response");
            signal << code << results;
            connection.send(signal);
        };
        switch (answer) {
        case Answer::mute:
            return true;
        case Answer::refuse:
            connection.send(message.createErrorReply("org.freedesktop.portal.Error.NotAllowed", "Screenshot denied"));
            return true;
        case Answer::answerBeforeReply:
            respond();
            connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
            return true;
        default:
            break;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        if (answer == Answer::silent) return true;
        QMetaObject::invokeMethod(
            this,
            [this, answer, delay, respond] {
                QTimer::singleShot(delay, this, [this, answer, respond] {
                    if (answer == Answer::leave)
                        m_bus.unregisterService(service);
                    else
                        respond();
                });
            },
            Qt::QueuedConnection);
        return true;
    }

private:
    static constexpr const char* shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";

    // Answers at once: the request's Response follows the method reply.
    bool handleShortcuts(const QDBusMessage& message, const QDBusConnection& connection) {
        std::unique_lock lock(m_mutex);
        const auto arguments = message.arguments();
        if (message.member() == "Get") {
            if (!m_offerShortcuts || arguments.value(0).toString() != shortcutsInterface)
                connection.send(message.createErrorReply(QDBusError::UnknownInterface, "no such interface"));
            else
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(2u))));
            return true;
        }
        if (!m_offerShortcuts) return false;
        if (message.member() == "ConfigureShortcuts") {
            ++m_configureCalls;
            connection.send(message.createReply());
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.value(arguments.size() - 1));
        const QString handle = conventionalPath("request", message.service(), options.value("handle_token").toString());
        QVariantMap results;
        if (message.member() == "CreateSession") {
            m_session =
                conventionalPath("session", message.service(), options.value("session_handle_token").toString());
            results.insert("session_handle", m_session);
        } else if (message.member() == "BindShortcuts") {
            const auto asked = qdbus_cast<QList<StandInShortcut>>(arguments.value(1));
            m_bound.assign(asked.begin(), asked.end());
            QList<StandInShortcut> bound;
            for (const auto& shortcut : m_bound)
                bound.push_back({shortcut.id,
                                 {{"description", shortcut.properties.value("description")},
                                  {"trigger_description", m_triggers[shortcut.id]}}});
            results.insert("shortcuts", QVariant::fromValue(bound));
        } else {
            return false;
        }
        lock.unlock();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        QDBusMessage response =
            QDBusMessage::createTargetedSignal(message.service(), handle, "org.freedesktop.portal.Request", "Response");
        response << 0u << results;
        connection.send(response);
        return true;
    }

    // Where the portal puts a request or session of a caller: below its unique name, the colon
    // dropped and the dots made underscores.
    static QString conventionalPath(const char* kind, const QString& caller, const QString& token) {
        return QString("%1/%2/%3/%4").arg(desktopPath, kind, caller.mid(1).replace('.', '_'), token);
    }
    template <class F> void inOwnThread(F work) { QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection); }
    // A copy of a field the bus thread writes.
    template <class T> T locked(const T& field) const {
        std::lock_guard lock(m_mutex);
        return field;
    }
    // Called with the lock held.
    QString writePicture() {
        if (!m_uriOverride.isEmpty()) return m_uriOverride;
        if (m_picture.isNull()) return {};
        m_lastPicture = m_pictureDir / m_pictureName;
        // The format follows the name, as a portal saving JPEG would.
        m_picture.save(QString::fromStdString(m_lastPicture.string()));
        return QUrl::fromLocalFile(QString::fromStdString(m_lastPicture.string())).toString(QUrl::FullyEncoded);
    }

    QDBusConnection m_bus;
    std::filesystem::path m_pictureDir;
    QThread m_thread;
    mutable std::mutex m_mutex;
    Answer m_answer = Answer::picture;
    QImage m_picture;
    int m_delayMs = 0;
    std::string m_pictureName = "Screenshot 100% é.png";
    QString m_uriOverride;
    std::vector<Request> m_requests;
    std::vector<QString> m_closed;
    std::filesystem::path m_lastPicture;
    bool m_offerShortcuts = true;
    std::map<QString, QString> m_triggers;
    std::vector<StandInShortcut> m_bound;
    std::atomic<int> m_configureCalls = 0;
    QString m_session;
};

// A private bus with the stand-in on it and a client connection of its own; the stand-in takes
// the portal's name only when published.
class PrivatePortal {
public:
    explicit PrivatePortal(const std::filesystem::path& dir) : bus(dir / "bus"), m_dir(dir) {}
    ~PrivatePortal() {
        standIn.reset();
        bus.stop();
    }
    // Empty when the bus is up; otherwise why not.
    std::string start() {
        std::string why;
        if (!bus.start(why)) return "no private session bus for the stand-in portal: " + why;
        static int serial = 0;
        const QString id = QString("%1-%2").arg(::getpid()).arg(++serial);
        client = bus.connect("portal-client-" + id);
        if (!client.isConnected())
            return "cannot connect to the private bus: " + client.lastError().message().toStdString();
        standIn = std::make_unique<ScreenshotPortalStandIn>(bus.connect("portal-service-" + id), m_dir / "pictures");
        return {};
    }

    PrivateBus bus;
    QDBusConnection client{QString()};
    std::unique_ptr<ScreenshotPortalStandIn> standIn;

private:
    std::filesystem::path m_dir;
};

} // namespace lexorra::testing
