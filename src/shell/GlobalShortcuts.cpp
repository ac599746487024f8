#include "shell/GlobalShortcuts.h"

#include "shell/ScreenshotPortal.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLabel>
#include <QPushButton>
#include <QUuid>
#include <QVBoxLayout>

namespace lexorra::shell {
namespace {

constexpr const char* portalService = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr const char* requestInterface = "org.freedesktop.portal.Request";

GlobalShortcuts* currentInstance = nullptr;

// Tokens must be valid object path elements: letters, digits and underscores.
QString newToken() {
    return "lexorra_" + QUuid::createUuid().toString(QUuid::Id128);
}

QVariant unwrapped(QVariant value) {
    if (value.userType() == qMetaTypeId<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    return value;
}

// Waits for the Response of one request and hands it to the answer, once.
class PendingRequest : public QObject {
    Q_OBJECT

public:
    using Answer = std::function<void(uint, const QVariantMap&)>;
    PendingRequest(const QDBusConnection& bus, Answer answer, QObject* parent)
        : QObject(parent), m_bus(bus), m_answer(std::move(answer)) {}

    bool listen(const QString& path) {
        if (!m_path.isEmpty()) stop();
        m_path = path;
        return m_bus.connect(portalService, path, requestInterface, "Response", this,
                             SLOT(onResponse(uint, QVariantMap)));
    }
    const QString& path() const { return m_path; }

public slots:
    void onResponse(uint code, const QVariantMap& results) {
        if (!m_answer) return;
        stop();
        const Answer answer = std::move(m_answer);
        m_answer = nullptr;
        deleteLater();
        answer(code, results);
    }

private:
    void stop() {
        m_bus.disconnect(portalService, m_path, requestInterface, "Response", this,
                         SLOT(onResponse(uint, QVariantMap)));
    }

    QDBusConnection m_bus;
    Answer m_answer;
    QString m_path;
};

QString describeCode(uint code) {
    return code == 1 ? QObject::tr("the choice of keys was cancelled")
                     : QObject::tr("the desktop ended the request (response %1)").arg(code);
}

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

PortalShortcutList portalShortcutsOf(const QVariant& value) {
    const QVariant inner = unwrapped(value);
    if (inner.canConvert<PortalShortcutList>() && inner.userType() == qMetaTypeId<PortalShortcutList>())
        return inner.value<PortalShortcutList>();
    PortalShortcutList list;
    if (inner.userType() == qMetaTypeId<QDBusArgument>() &&
        inner.value<QDBusArgument>().currentSignature() == QLatin1String("a(sa{sv})"))
        inner.value<QDBusArgument>() >> list;
    return list;
}

GlobalShortcuts::GlobalShortcuts(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcutList>();
    m_shortcuts = {{runWorkflowToClipboard, tr("Run selected Workflow to clipboard"), {}},
                   {captureScreen, tr("Capture text from the screen"), {}}};
    currentInstance = this;
}

GlobalShortcuts::~GlobalShortcuts() {
    if (currentInstance == this) currentInstance = nullptr;
    if (!m_session.isEmpty())
        m_bus.call(QDBusMessage::createMethodCall(portalService, m_session, "org.freedesktop.portal.Session", "Close"),
                   QDBus::NoBlock);
}

GlobalShortcuts* GlobalShortcuts::current() {
    return currentInstance;
}

void GlobalShortcuts::setState(State state, const QString& problem) {
    m_state = state;
    m_problem = problem;
    emit changed();
}

void GlobalShortcuts::start() {
    if (!m_bus.isConnected()) return setState(State::unavailable);
    setState(State::checking);
    // The portal exports the interface only where the desktop implements it.
    QDBusMessage get =
        QDBusMessage::createMethodCall(portalService, portalPath, "org.freedesktop.DBus.Properties", "Get");
    get << QString(shortcutsInterface) << QString("version");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *done;
        if (reply.isError()) return setState(State::unavailable, reply.error().message());
        m_version = reply.value().variant().toUInt();
        m_bus.connect(portalService, portalPath, shortcutsInterface, "Activated", this,
                      SLOT(onActivated(QDBusMessage)));
        m_bus.connect(portalService, portalPath, shortcutsInterface, "ShortcutsChanged", this,
                      SLOT(onShortcutsChanged(QDBusMessage)));
        setState(State::binding);
        request("CreateSession", {}, {{"session_handle_token", newToken()}},
                [this](uint code, const QVariantMap& results) {
                    if (code != 0) return setState(State::failed, describeCode(code));
                    m_session = unwrapped(results.value("session_handle")).toString();
                    if (m_session.isEmpty())
                        m_session = unwrapped(results.value("session_handle")).value<QDBusObjectPath>().path();
                    if (m_session.isEmpty()) return setState(State::failed, tr("the desktop made no session"));
                    bind();
                });
    });
}

void GlobalShortcuts::bind() {
    PortalShortcutList list;
    for (const auto& shortcut : m_shortcuts)
        list.push_back({shortcut.id, {{"description", shortcut.description}}});
    setState(State::binding);
    request("BindShortcuts", {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(list), QString()},
            {}, [this](uint code, const QVariantMap& results) {
                if (code != 0) return setState(State::failed, describeCode(code));
                takeTriggers(portalShortcutsOf(results.value("shortcuts")));
                setState(State::bound);
            });
}

void GlobalShortcuts::configure() {
    if (m_state == State::failed && m_session.isEmpty()) return start();
    if (m_session.isEmpty()) return;
    if (m_version < 2) return bind(); // the first version shows its dialog on binding
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, "ConfigureShortcuts");
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QString() << QVariantMap();
    m_bus.call(call, QDBus::NoBlock);
}

void GlobalShortcuts::request(const QString& method, QList<QVariant> arguments, QVariantMap options, Answer answer) {
    const QString token = newToken();
    options.insert("handle_token", token);
    auto* pending = new PendingRequest(m_bus, std::move(answer), this);
    // Listen before asking: the answer may come before the call returns.
    pending->listen(portalRequestPath(m_bus.baseService(), token));
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    arguments << options;
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    // The answer may have come, and its request gone, before the reply.
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, pending = QPointer<PendingRequest>(pending)](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *done;
                if (reply.isError()) {
                    if (pending) pending->deleteLater();
                    return setState(State::failed, reply.error().message());
                }
                // Portals older than the naming convention choose the request's path themselves.
                if (pending && reply.value().path() != pending->path()) pending->listen(reply.value().path());
            });
}

void GlobalShortcuts::takeTriggers(const PortalShortcutList& bound) {
    for (auto& shortcut : m_shortcuts) {
        shortcut.trigger.clear();
        for (const auto& entry : bound)
            if (entry.id == shortcut.id)
                shortcut.trigger = unwrapped(entry.properties.value("trigger_description")).toString();
    }
}

void GlobalShortcuts::onActivated(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || unwrapped(arguments.at(0)).value<QDBusObjectPath>().path() != m_session) return;
    emit activated(arguments.at(1).toString());
}

void GlobalShortcuts::onShortcutsChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || unwrapped(arguments.at(0)).value<QDBusObjectPath>().path() != m_session) return;
    takeTriggers(portalShortcutsOf(arguments.at(1)));
    emit changed();
}

GlobalShortcutsPanel::GlobalShortcutsPanel(GlobalShortcuts* shortcuts, QWidget* parent)
    : QGroupBox(tr("System-wide shortcuts"), parent), m_shortcuts(shortcuts) {
    setObjectName("globalShortcutsGroupBox");
    auto* layout = new QVBoxLayout(this);
    m_note = new QLabel(this);
    m_note->setObjectName("globalShortcutsNoteLabel");
    m_note->setWordWrap(true);
    m_keys = new QLabel(this);
    m_keys->setObjectName("globalShortcutsKeysLabel");
    m_keys->setTextFormat(Qt::PlainText);
    m_configure = new QPushButton(tr("Choose Keys…"), this);
    m_configure->setObjectName("globalShortcutsConfigureButton");
    layout->addWidget(m_note);
    layout->addWidget(m_keys);
    layout->addWidget(m_configure, 0, Qt::AlignLeft);
    if (m_shortcuts) {
        connect(m_shortcuts, &GlobalShortcuts::changed, this, &GlobalShortcutsPanel::refresh);
        connect(m_configure, &QPushButton::clicked, m_shortcuts, &GlobalShortcuts::configure);
    }
    refresh();
}

void GlobalShortcutsPanel::refresh() {
    using State = GlobalShortcuts::State;
    const State state = m_shortcuts ? m_shortcuts->state() : State::unavailable;
    QString note;
    switch (state) {
    case State::idle:
    case State::unavailable:
        note = tr("This desktop offers no global shortcuts portal (org.freedesktop.portal.GlobalShortcuts), so "
                  "system-wide shortcuts cannot be set. The commands stay in the tray menu and in the window.");
        break;
    case State::checking:
    case State::binding:
        note = tr("Asking the desktop for the shortcuts…");
        break;
    case State::failed:
        note = tr("The desktop did not bind the shortcuts: %1").arg(m_shortcuts->problem());
        break;
    case State::bound:
        note = tr("Pressed anywhere on the desktop, these keys run Lexorra's commands.");
        break;
    }
    m_note->setText(note);
    QStringList lines;
    if (state == State::bound || state == State::failed)
        for (const auto& shortcut : m_shortcuts->shortcuts())
            lines << shortcut.description + ": " + (shortcut.trigger.isEmpty() ? tr("no key") : shortcut.trigger);
    m_keys->setText(lines.join('\n'));
    m_keys->setVisible(!lines.isEmpty());
    m_configure->setVisible(state == State::bound || state == State::failed);
}

} // namespace lexorra::shell

#include "GlobalShortcuts.moc"
