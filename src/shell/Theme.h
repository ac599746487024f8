#pragma once

#include <QPalette>

class QApplication;
class QsciScintilla;

namespace lexorra::shell {

// Light or dark: LEXORRA_STYLE ("light"/"dark") when set, else what the desktop's palette
// or GTK theme says.
bool prefersDarkTheme();
// The Fusion style with a palette of our own, so both look the same on every desktop.
QPalette themePalette(bool dark);
void applyTheme(QApplication& app, bool dark);
// The code editor draws its own colours; take them from the palette.
void styleEditor(QsciScintilla* editor, const QPalette& palette);

} // namespace lexorra::shell
