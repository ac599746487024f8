#pragma once

class QMenuBar;
class QWidget;
class QDialog;

namespace lexorra::shell {

// Help ▸ About: name, version, licence and the libraries inside.
QDialog* makeAboutDialog(QWidget* parent);
// Help ▸ Keyboard Shortcuts: every command of the menu bar with its keys, then the keys that
// belong to one pane (the sidebar, the search box, the find bar).
QDialog* makeShortcutsDialog(const QMenuBar* menus, QWidget* parent);
// Help ▸ Lexorra Help: the help page compiled into the application, readable offline.
QDialog* makeHelpDialog(QWidget* parent);

} // namespace lexorra::shell
