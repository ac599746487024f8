#pragma once

#include "core/TextActionType.h"

#include <QIcon>

#include <span>
#include <string_view>

namespace lexorra::shell {

// One icon of the application: the name a freedesktop icon theme knows it by, and the
// glyph of our own (resources/icons/glyphs/NAME.svg) shown when the theme has none.
struct IconEntry {
    std::string_view key;   // a catalogue symbol ("arrow.up.arrow.down") or a command name
    const char* themeName;  // empty when no theme name fits
    const char* glyph;
};

// Every catalogue symbol and the workflows' "flowchart".
std::span<const IconEntry> symbolIcons();
// The toolbar commands: "run", "runAndCopy", "copyResult", "useResult", "clear", "load",
// "save", "capture", "liveResults", "preferences".
std::span<const IconEntry> commandIcons();

// The entry of a symbol or command; nullptr when it has none.
const IconEntry* findIcon(std::string_view key);

// The theme's icon, else the bundled glyph; a null icon for an unknown key.
QIcon iconFor(std::string_view key);
QIcon actionIcon(TextActionType type);
// A bundled glyph drawn in the palette's text colour at paint time, so that it follows a
// switch between light and dark; a null icon when there is no such glyph.
QIcon bundledIcon(const char* glyph);

} // namespace lexorra::shell
