#include "shell/HelpDialogs.h"

#include <Qsci/qsciglobal.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lexorra::shell {
namespace {

QDialog* makeDialog(QWidget* parent, const char* name, const QString& title) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void addCloseButton(QDialog* dialog, QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace

QDialog* makeAboutDialog(QWidget* parent) {
    auto* dialog = makeDialog(parent, "aboutDialog", QObject::tr("About Lexorra"));
    auto* layout = new QVBoxLayout(dialog);
    auto* icon = new QLabel(dialog);
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* text = new QLabel(dialog);
    text->setObjectName("aboutLabel");
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(true);
    text->setWordWrap(true);
    text->setText(
        QObject::tr("<h2>Lexorra %1</h2>"
                    "<p>Transforms text with 34 actions and workflows of your own.</p>"
                    "<p>Licence: GPL-3.0-or-later (GNU General Public License, version 3 or later). "
                    "This program comes with absolutely no warranty.</p>"
                    "<p><b>Libraries used</b><br>Qt %2 · QScintilla %3 · ICU · SQLite · simdjson · ZXing-C++ · "
                    "libyaml · libxml2 · cmark-gfm · Gumbo · libpng · Tesseract OCR · libcurl · OpenSSL (libcrypto) · "
                    "libqrencode · CLD2</p>")
            .arg(QStringLiteral(LEXORRA_VERSION), QString::fromLatin1(qVersion()),
                 QStringLiteral(QSCINTILLA_VERSION_STR)));
    text->setMinimumWidth(420);
    layout->addWidget(text);
    addCloseButton(dialog, layout);
    return dialog;
}

QDialog* makeShortcutsDialog(const QMenuBar* menus, QWidget* parent) {
    auto* dialog = makeDialog(parent, "shortcutsDialog", QObject::tr("Keyboard Shortcuts"));
    auto* layout = new QVBoxLayout(dialog);
    auto* tree = new QTreeWidget(dialog);
    tree->setObjectName("shortcutsTreeWidget");
    tree->setHeaderLabels({QObject::tr("Command"), QObject::tr("Keys")});
    tree->setRootIsDecorated(false);
    const auto section = [tree](const QString& title) {
        auto* item = new QTreeWidgetItem(tree, {title});
        QFont bold = item->font(0);
        bold.setBold(true);
        item->setFont(0, bold);
        item->setFirstColumnSpanned(true);
    };
    const auto row = [tree](const QString& command, const QString& keys) {
        new QTreeWidgetItem(tree, {command, keys});
    };
    for (QAction* menuAction : menus->actions()) {
        QMenu* menu = menuAction->menu();
        if (!menu) continue;
        bool titled = false;
        for (QAction* action : menu->actions()) {
            if (action->shortcuts().isEmpty()) continue;
            if (!titled) section(menuAction->text().remove('&'));
            titled = true;
            QStringList keys;
            for (const auto& key : action->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
            row(action->text().remove('&').section('\n', 0, 0), keys.join(QObject::tr(" or ")));
        }
    }
    section(QObject::tr("Sidebar"));
    row(QObject::tr("Rename the workflow"), "F2");
    row(QObject::tr("Delete the workflow"), QKeySequence(Qt::Key_Delete).toString(QKeySequence::NativeText));
    row(QObject::tr("Next or previous pane"), "F6, Shift+F6");
    section(QObject::tr("Workflow steps"));
    row(QObject::tr("Show a step's output"), QObject::tr("Click its card, or Tab to it and press Enter"));
    row(QObject::tr("Back to the final result"), QObject::tr("Escape"));
    section(QObject::tr("Search box"));
    row(QObject::tr("Go to the first match"), QObject::tr("Down"));
    row(QObject::tr("Pick the first match"), QObject::tr("Return"));
    row(QObject::tr("Clear the search"), QObject::tr("Escape"));
    section(QObject::tr("Find bar"));
    row(QObject::tr("Next match"), QObject::tr("Return"));
    row(QObject::tr("Previous match"), QObject::tr("Shift+Return"));
    row(QObject::tr("Close"), QObject::tr("Escape"));
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree->setMinimumSize(480, 460);
    layout->addWidget(tree);
    addCloseButton(dialog, layout);
    return dialog;
}

QDialog* makeHelpDialog(QWidget* parent) {
    auto* dialog = makeDialog(parent, "helpDialog", QObject::tr("Lexorra Help"));
    auto* layout = new QVBoxLayout(dialog);
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName("helpTextBrowser");
    browser->setOpenExternalLinks(true);
    QFile page(":/help/index.html");
    if (page.open(QIODevice::ReadOnly)) browser->setHtml(QString::fromUtf8(page.readAll()));
    layout->addWidget(browser);
    addCloseButton(dialog, layout);
    dialog->resize(640, 560);
    return dialog;
}

} // namespace lexorra::shell
