#pragma once

// System-wide shortcuts through the desktop portal's GlobalShortcuts interface: the application
// names its commands, the desktop lets the user pick the keys (in its own dialog) and signals
// when they are pressed, whichever window has the focus.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QGroupBox>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>

class QLabel;
class QPushButton;

namespace lexorra::shell {

// One entry of the portal's a(sa{sv}) shortcut lists: an id and its properties
// ("description", "preferred_trigger" going out, "trigger_description" coming back).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;
QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);
// The list inside a Response's results or a signal's arguments, however it was delivered.
PortalShortcutList portalShortcutsOf(const QVariant& value);

// The application's session with the portal.
//
//     GlobalShortcuts shortcuts(QDBusConnection::sessionBus());
//     connect(&shortcuts, &GlobalShortcuts::activated, ...);  // with runWorkflowToClipboard, ...
//     shortcuts.start();
class GlobalShortcuts : public QObject {
    Q_OBJECT

public:
    static constexpr const char* runWorkflowToClipboard = "run-workflow-to-clipboard";
    static constexpr const char* captureScreen = "capture-screen";

    enum class State {
        idle,        // not started
        checking,    // asking whether the desktop has the portal
        unavailable, // the desktop offers no GlobalShortcuts portal
        binding,     // session or binding under way
        bound,       // the shortcuts are known to the desktop
        failed,      // the portal refused; problem() says why
    };
    struct Shortcut {
        QString id;
        QString description;
        QString trigger; // as the desktop describes it; empty while no key is bound
    };

    explicit GlobalShortcuts(const QDBusConnection& bus, QObject* parent = nullptr);
    ~GlobalShortcuts() override;
    // The application's session, for Preferences; null where none was made.
    static GlobalShortcuts* current();

    // Asks for the portal, then creates the session and binds the commands; answers come later.
    void start();
    // Shows the desktop's dialog for choosing the keys.
    void configure();

    State state() const { return m_state; }
    QString problem() const { return m_problem; }
    const QList<Shortcut>& shortcuts() const { return m_shortcuts; }

signals:
    void activated(const QString& id);
    void changed();

private slots:
    // Whole messages: the shortcut lists are of a type the bus cannot hand to a typed slot.
    void onActivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    using Answer = std::function<void(uint code, const QVariantMap& results)>;
    // Calls a method that answers through a Request object's Response signal.
    void request(const QString& method, QList<QVariant> arguments, QVariantMap options, Answer answer);
    void bind();
    void takeTriggers(const PortalShortcutList& bound);
    void setState(State state, const QString& problem = {});

    QDBusConnection m_bus;
    State m_state = State::idle;
    QString m_problem;
    uint m_version = 0;
    QString m_session;
    QList<Shortcut> m_shortcuts;
};

// The Preferences section: the shortcuts and their keys with a button that opens the desktop's
// dialog, or a note where the desktop offers no such portal.
class GlobalShortcutsPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit GlobalShortcutsPanel(GlobalShortcuts* shortcuts, QWidget* parent = nullptr);

private:
    void refresh();

    QPointer<GlobalShortcuts> m_shortcuts;
    QLabel* m_note;
    QLabel* m_keys;
    QPushButton* m_configure;
};

} // namespace lexorra::shell

Q_DECLARE_METATYPE(lexorra::shell::PortalShortcut)
