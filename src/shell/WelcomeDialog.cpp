#include "shell/WelcomeDialog.h"

#include "core/SettingsStore.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexorra::shell {
namespace {

constexpr std::string_view shownKey = "welcomeScreenShown";

} // namespace

const QString& WelcomeDialog::text() {
    static const QString welcome = QObject::tr(
        "<h2>Welcome to Lexorra</h2>"
        "<p>Lexorra turns text into other text: sort or number lines, change case, find and replace, "
        "convert between JSON, YAML, CSV, XML and Markdown, encode, encrypt and more.</p>"
        "<p><b>To begin</b>, paste or type a text into the <i>Input</i> pane and pick an action on the "
        "left: the <i>Result</i> pane follows as you type. Options of the action are on the right.</p>"
        "<p>Chain actions into a <b>workflow</b> (Workflows &#9656; Create new Workflow); your workflows also "
        "run on the clipboard from the tray icon. Preferences are under File &#9656; Preferences.</p>");
    return welcome;
}

WelcomeDialog::WelcomeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("welcomeDialog");
    setWindowTitle(tr("Welcome to Lexorra"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumWidth(460);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text(), this);
    label->setObjectName("welcomeText");
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(this);
    auto* start = buttons->addButton(tr("Get started"), QDialogButtonBox::AcceptRole);
    start->setObjectName("welcomeStartButton");
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

bool welcomeWanted(const Settings& settings) {
    const Value* shown = settings.store(StoreKind::standard).value(shownKey);
    return !shown || !shown->isBool() || !shown->asBool();
}

void rememberWelcomeShown(Settings& settings) {
    // A key of the window alone, unknown to the engine's table: written to the store directly.
    settings.store(StoreKind::standard).setValue(shownKey, Value(true));
}

WelcomeDialog* showWelcomeOnce(Settings& settings, QWidget* parent) {
    if (!welcomeWanted(settings)) return nullptr;
    rememberWelcomeShown(settings);
    auto* dialog = new WelcomeDialog(parent);
    dialog->show();
    dialog->raise();
    return dialog;
}

} // namespace lexorra::shell
