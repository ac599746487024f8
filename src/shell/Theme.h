#pragma once

#include <QColor>
#include <QPalette>

#include <array>

class QApplication;
class QsciScintilla;

namespace lexorra {
class Settings;
}

namespace lexorra::shell {

// Light or dark: LEXORRA_STYLE ("light"/"dark") when set, else what the desktop's palette
// or GTK theme says.
bool prefersDarkTheme();
// The Fusion style with a palette of our own, so both look the same on every desktop.
QPalette themePalette(bool dark);
void applyTheme(QApplication& app, bool dark);
// The code editor draws its own colours; take them from the palette.
void styleEditor(QsciScintilla* editor, const QPalette& palette);

// The user's choice in Preferences, kept in the standard store under "theme".
enum class ThemeChoice { followDesktop, light, dark };
ThemeChoice loadThemeChoice(const Settings& settings);
bool saveThemeChoice(Settings& settings, ThemeChoice choice);
// LEXORRA_STYLE wins over the choice (screenshots and tests set it), then the choice, then
// the desktop as it was before our own palette replaced its.
bool themeIsDark(ThemeChoice choice);
// The desktop's own preference, read once: after applyTheme the application palette is ours.
bool desktopPrefersDark();
// A high-contrast desktop (as Qt reports it, or a HighContrast GTK theme): the palette is
// then black and white whatever the light/dark choice, unless LEXORRA_STYLE is set.
bool desktopPrefersHighContrast();

// Colours for code, picked to read well on the palette's base colour.
struct SyntaxColours {
    QColor text, comment, keyword, string, number, property, tag, attribute, operatorSign, error, heading, link,
        code, codePaper;
    // Neighbouring CSV columns must differ; six hues cycle.
    std::array<QColor, 6> columns;
};
SyntaxColours syntaxColours(const QPalette& palette);
bool isDarkPalette(const QPalette& palette);

} // namespace lexorra::shell
