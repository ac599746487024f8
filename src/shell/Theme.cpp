#include "shell/Theme.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QStyleFactory>

namespace lexorra::shell {

bool prefersDarkTheme() {
    const QString chosen = qEnvironmentVariable("LEXORRA_STYLE").toLower();
    if (chosen == "dark") return true;
    if (chosen == "light") return false;
    if (qEnvironmentVariable("GTK_THEME").contains(":dark", Qt::CaseInsensitive)) return true;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 110;
}

QPalette themePalette(bool dark) {
    QPalette p;
    const QColor accent = dark ? QColor(88, 146, 230) : QColor(38, 110, 210);
    const QColor window = dark ? QColor(37, 39, 43) : QColor(242, 242, 245);
    const QColor base = dark ? QColor(28, 29, 32) : QColor(255, 255, 255);
    const QColor alternate = dark ? QColor(44, 46, 51) : QColor(247, 247, 250);
    const QColor text = dark ? QColor(228, 229, 232) : QColor(30, 31, 34);
    const QColor button = dark ? QColor(50, 53, 58) : QColor(250, 250, 252);
    const QColor disabled = dark ? QColor(120, 122, 128) : QColor(150, 151, 156);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::Mid, dark ? QColor(70, 72, 78) : QColor(200, 200, 206));
    p.setColor(QPalette::Dark, dark ? QColor(20, 20, 22) : QColor(170, 170, 176));
    p.setColor(QPalette::Light, dark ? QColor(70, 73, 80) : QColor(255, 255, 255));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

void applyTheme(QApplication& app, bool dark) {
    if (auto* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
    app.setPalette(themePalette(dark));
}

void styleEditor(QsciScintilla* editor, const QPalette& palette) {
    const QColor paper = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::Text);
    editor->setPaper(paper);
    editor->setColor(ink);
    editor->setCaretForegroundColor(ink);
    editor->setSelectionBackgroundColor(palette.color(QPalette::Highlight));
    editor->setSelectionForegroundColor(palette.color(QPalette::HighlightedText));
    editor->setMarginsBackgroundColor(palette.color(QPalette::AlternateBase));
    editor->setMarginsForegroundColor(palette.color(QPalette::PlaceholderText));
    editor->setWhitespaceForegroundColor(palette.color(QPalette::PlaceholderText));
    editor->setFrameShape(QFrame::NoFrame);
}

} // namespace lexorra::shell
