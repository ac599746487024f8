#pragma once

#include "core/TextActionSeq.h"

#include <QString>

#include <array>
#include <optional>

namespace lexorra::shell {

// The kinds of text the code editor can colour: the engine's syntax kinds.
using SyntaxMode = TextSyntax;

inline constexpr std::array allSyntaxModes{SyntaxMode::plain, SyntaxMode::json,     SyntaxMode::yaml, SyntaxMode::xml,
                                           SyntaxMode::html,  SyntaxMode::markdown, SyntaxMode::csv};

// "JSON", "Plain Text", ...: menu labels.
QString syntaxModeLabel(SyntaxMode mode);
// "json", "plain", ...: stable names for object names and stored values.
QString syntaxModeName(SyntaxMode mode);
std::optional<SyntaxMode> syntaxModeFromName(const QString& name);

// The kind of text the sequence wants as input: that of its first enabled action that
// names one, looking past actions that hand their input on unchanged in kind.
SyntaxMode inputSyntax(const TextActionSeq& seq);
// The kind of text the sequence's enabled actions leave behind, given input of kind `given`
// (by default what the sequence wants).
SyntaxMode resultSyntax(const TextActionSeq& seq, std::optional<SyntaxMode> given = std::nullopt);

} // namespace lexorra::shell
