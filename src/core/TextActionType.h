#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace lexorra {

// The action kinds with their integer raw values 0..34.
enum class TextActionType : int {
#define TEXT_ACTION(raw, caseName, className, title, icon, keywords, hasOptions, reads, writes, traits, sequenceId)    \
    caseName = raw,
#include "core/ActionKinds.def"
#undef TEXT_ACTION
};

inline constexpr int textActionTypeCount = 35;

// The kinds of text the editors colour, and what a kind takes and gives: a kind that
// keeps what it was given says nothing (nullopt).
enum class TextSyntax { plain, json, yaml, xml, html, markdown, csv };
struct SyntaxChange {
    std::optional<TextSyntax> reads;
    std::optional<TextSyntax> writes;
};

// What front ends need to know of a kind beyond its options.
enum class ActionTraits : unsigned { none = 0, image = 1, network = 2, workflow = 3 };

// Catalogue data of a kind.
std::string_view title(TextActionType type);
std::string_view icon(TextActionType type);
std::string_view keywords(TextActionType type);
std::string_view caseName(TextActionType type);
bool defaultHasOptions(TextActionType type);
// The syntax of the kind's default configuration (see TextAction::syntax for an action's).
SyntaxChange defaultSyntax(TextActionType type);
// Its result can stand for a picture (a QR code).
bool makesImage(TextActionType type);
// It sends the text to a service over the network.
bool callsNetwork(TextActionType type);
// It runs another workflow: a step of workflows, not an action of its own.
bool runsWorkflow(TextActionType type);
// The id of the kind's built-in sequence.
std::string_view builtInSequenceId(TextActionType type);
inline int rawValue(TextActionType type) {
    return static_cast<int>(type);
}

// All kinds in raw-value order.
const std::array<TextActionType, textActionTypeCount>& allTextActionTypes();

// A kind from its raw value; nullopt outside 0..34.
std::optional<TextActionType> textActionTypeFromRaw(long long raw);
// A kind from a raw value ("3"), a case name ("convertCase") or a title ("Convert Case",
// trailing spaces of the title optional, letter case ignored).
std::optional<TextActionType> textActionTypeFromName(std::string_view name);

// Kinds order by title (code-point order): "AI Conversion" first, "XML -> JSON" last.
bool titleLess(TextActionType a, TextActionType b);

// The action picker's search rule: the lower-cased search text is contained in the
// lower-cased title or keyword string. An empty search matches every kind.
bool matchesSearch(TextActionType type, std::string_view searchText);

} // namespace lexorra
