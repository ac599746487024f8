#include "shell/Theme.h"

#include "core/SettingsStore.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleHints>
#include <QStyleOption>

#include <optional>
#include <string_view>

namespace lexorra::shell {

namespace {

constexpr std::string_view themeKey = "theme";

std::optional<bool> environmentStyle() {
    const QString chosen = qEnvironmentVariable("LEXORRA_STYLE").toLower();
    if (chosen == "dark") return true;
    if (chosen == "light") return false;
    return std::nullopt;
}

// Fusion, with what it draws too faintly on a dark palette made visible: the frame of an
// unticked check box, and the focus of a tool button (which Fusion does not mark at all).
class LexorraStyle : public QProxyStyle {
public:
    explicit LexorraStyle(QStyle* base) : QProxyStyle(base) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if ((element == PE_IndicatorCheckBox || element == PE_IndicatorItemViewItemCheck) &&
            isDarkPalette(option->palette))
            outline(painter, QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5),
                    option->palette.color(QPalette::PlaceholderText));
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ToolButton && (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange))
            outline(painter, QRectF(option->rect).adjusted(1, 1, -1, -1), option->palette.color(QPalette::Highlight));
    }

private:
    static void outline(QPainter* painter, const QRectF& rect, const QColor& colour) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(colour, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(rect, 2, 2);
        painter->restore();
    }
};

// Black on white or white on black, with a yellow or blue accent, for a desktop in
// high-contrast mode.
QPalette highContrastPalette(bool dark) {
    QPalette p;
    const QColor paper = dark ? Qt::black : Qt::white;
    const QColor ink = dark ? Qt::white : Qt::black;
    const QColor accent = dark ? QColor(255, 230, 0) : QColor(0, 0, 170);
    for (auto role :
         {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button, QPalette::ToolTipBase})
        p.setColor(role, paper);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
                      QPalette::PlaceholderText, QPalette::Mid, QPalette::Dark, QPalette::Light})
        p.setColor(role, ink);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, dark ? Qt::black : Qt::white);
    p.setColor(QPalette::Link, accent);
    const QColor disabled = dark ? QColor(170, 170, 170) : QColor(90, 90, 90);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

} // namespace

bool desktopPrefersHighContrast() {
    static const bool high = [] {
#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
        if (QGuiApplication::styleHints()->accessibility()->contrastPreference() ==
            Qt::ContrastPreference::HighContrast)
            return true;
#endif
        // GNOME's and the GTK themes' high-contrast variants name themselves so.
        return qEnvironmentVariable("GTK_THEME").contains("HighContrast", Qt::CaseInsensitive);
    }();
    return high;
}

bool desktopPrefersDark() {
    static const bool dark = [] {
        const QString gtkTheme = qEnvironmentVariable("GTK_THEME");
        if (gtkTheme.contains(":dark", Qt::CaseInsensitive) || gtkTheme.contains("HighContrastInverse")) return true;
        return QGuiApplication::palette().color(QPalette::Window).lightness() < 110;
    }();
    return dark;
}

bool prefersDarkTheme() { return themeIsDark(ThemeChoice::followDesktop); }

bool themeIsDark(ThemeChoice choice) {
    if (const auto forced = environmentStyle()) return *forced;
    switch (choice) {
    case ThemeChoice::light: return false;
    case ThemeChoice::dark: return true;
    case ThemeChoice::followDesktop: break;
    }
    return desktopPrefersDark();
}

ThemeChoice loadThemeChoice(const Settings& settings) {
    const Value* v = settings.store(StoreKind::standard).value(themeKey);
    if (!v || !v->isString()) return ThemeChoice::followDesktop;
    if (v->asString() == "light") return ThemeChoice::light;
    if (v->asString() == "dark") return ThemeChoice::dark;
    return ThemeChoice::followDesktop;
}

bool saveThemeChoice(Settings& settings, ThemeChoice choice) {
    // A key of the window alone, unknown to the engine's table: written to the store directly.
    const char* name = choice == ThemeChoice::light ? "light" : choice == ThemeChoice::dark ? "dark" : "system";
    return settings.store(StoreKind::standard).setValue(themeKey, Value(std::string(name)));
}

bool isDarkPalette(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 128; }

SyntaxColours syntaxColours(const QPalette& palette) {
    const bool dark = isDarkPalette(palette);
    SyntaxColours c;
    c.text = palette.color(QPalette::Text);
    if (dark) {
        c.comment = QColor(128, 134, 145);
        c.keyword = QColor(198, 146, 233);
        c.string = QColor(152, 201, 121);
        c.number = QColor(229, 170, 104);
        c.property = QColor(110, 176, 240);
        c.tag = QColor(224, 108, 117);
        c.attribute = QColor(229, 192, 123);
        c.operatorSign = QColor(171, 178, 191);
        c.error = QColor(255, 110, 110);
        c.heading = QColor(110, 176, 240);
        c.link = QColor(86, 182, 194);
        c.code = QColor(152, 201, 121);
        c.codePaper = palette.color(QPalette::AlternateBase);
        c.columns = {QColor(228, 229, 232), QColor(110, 176, 240), QColor(152, 201, 121),
                     QColor(229, 170, 104), QColor(198, 146, 233), QColor(86, 182, 194)};
    } else {
        c.comment = QColor(110, 115, 125);
        c.keyword = QColor(140, 40, 170);
        c.string = QColor(30, 120, 40);
        c.number = QColor(175, 90, 0);
        c.property = QColor(20, 90, 190);
        c.tag = QColor(170, 30, 50);
        c.attribute = QColor(150, 100, 0);
        c.operatorSign = QColor(80, 85, 95);
        c.error = QColor(210, 0, 0);
        c.heading = QColor(20, 90, 190);
        c.link = QColor(0, 120, 140);
        c.code = QColor(30, 120, 40);
        c.codePaper = palette.color(QPalette::AlternateBase);
        c.columns = {QColor(30, 31, 34), QColor(20, 90, 190), QColor(30, 120, 40),
                     QColor(175, 90, 0), QColor(140, 40, 170), QColor(0, 120, 140)};
    }
    return c;
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
    if (auto* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(new LexorraStyle(fusion));
    const bool highContrast = !environmentStyle() && desktopPrefersHighContrast();
    app.setPalette(highContrast ? highContrastPalette(dark) : themePalette(dark));
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
    // A frame in the paper's colour, drawn in the accent while the editor has the focus.
    editor->setFrameStyle(QFrame::Box | QFrame::Plain);
    editor->setLineWidth(1);
    QPalette framed = editor->palette();
    framed.setColor(QPalette::WindowText, editor->hasFocus() ? palette.color(QPalette::Highlight) : paper);
    if (framed != editor->palette()) editor->setPalette(framed);
}

} // namespace lexorra::shell
