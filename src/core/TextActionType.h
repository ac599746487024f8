#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace lexorra {

// The 34 action kinds with their integer raw values 0..33.
enum class TextActionType : int {
#define TEXT_ACTION(raw, caseName, className, title, icon, keywords, hasOptions) caseName = raw,
#include "core/ActionKinds.def"
#undef TEXT_ACTION
};

inline constexpr int textActionTypeCount = 34;

// Catalogue data of a kind.
std::string_view title(TextActionType type);
std::string_view icon(TextActionType type);
std::string_view keywords(TextActionType type);
std::string_view caseName(TextActionType type);
bool defaultHasOptions(TextActionType type);
inline int rawValue(TextActionType type) { return static_cast<int>(type); }

// All kinds in raw-value order.
const std::array<TextActionType, textActionTypeCount>& allTextActionTypes();

// A kind from its raw value; nullopt outside 0..33.
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
