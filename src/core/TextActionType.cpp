#include "core/TextActionType.h"

#include "text/Case.h"

#include <charconv>

namespace lexorra {
namespace {

struct KindInfo {
    std::string_view caseName;
    std::string_view title;
    std::string_view icon;
    std::string_view keywords;
    bool hasOptions;
    SyntaxChange syntax;
    ActionTraits traits;
    std::string_view sequenceId;
};

// The .def's syntax and trait words.
constexpr std::optional<TextSyntax> keep = std::nullopt;
using enum TextSyntax;
using enum ActionTraits;

constexpr KindInfo kinds[] = {
#define TEXT_ACTION(raw, caseName, className, title, icon, keywords, hasOptions, reads, writes, traits, sequenceId)    \
    {#caseName, title, icon, keywords, hasOptions, {reads, writes}, traits, sequenceId},
#include "core/ActionKinds.def"
#undef TEXT_ACTION
};
static_assert(std::size(kinds) == textActionTypeCount);

const KindInfo& info(TextActionType type) {
    return kinds[static_cast<int>(type)];
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string_view title(TextActionType type) {
    return info(type).title;
}
std::string_view icon(TextActionType type) {
    return info(type).icon;
}
std::string_view keywords(TextActionType type) {
    return info(type).keywords;
}
std::string_view caseName(TextActionType type) {
    return info(type).caseName;
}
bool defaultHasOptions(TextActionType type) {
    return info(type).hasOptions;
}
SyntaxChange defaultSyntax(TextActionType type) {
    return info(type).syntax;
}
bool makesImage(TextActionType type) {
    return info(type).traits == image;
}
bool callsNetwork(TextActionType type) {
    return info(type).traits == network;
}
bool runsWorkflow(TextActionType type) {
    return info(type).traits == workflow;
}
std::string_view builtInSequenceId(TextActionType type) {
    return info(type).sequenceId;
}

const std::array<TextActionType, textActionTypeCount>& allTextActionTypes() {
    static const auto all = [] {
        std::array<TextActionType, textActionTypeCount> a{};
        for (int i = 0; i < textActionTypeCount; ++i)
            a[i] = static_cast<TextActionType>(i);
        return a;
    }();
    return all;
}

std::optional<TextActionType> textActionTypeFromRaw(long long raw) {
    if (raw < 0 || raw >= textActionTypeCount) return std::nullopt;
    return static_cast<TextActionType>(raw);
}

std::optional<TextActionType> textActionTypeFromName(std::string_view name) {
    long long raw = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), raw);
    if (ec == std::errc() && end == name.data() + name.size() && !name.empty()) return textActionTypeFromRaw(raw);
    for (auto type : allTextActionTypes())
        if (caseName(type) == name) return type;
    const std::string wanted = text::asciiLower(trimRight(name));
    for (auto type : allTextActionTypes())
        if (text::asciiLower(trimRight(title(type))) == wanted) return type;
    for (auto type : allTextActionTypes())
        if (text::asciiLower(caseName(type)) == wanted) return type;
    return std::nullopt;
}

bool titleLess(TextActionType a, TextActionType b) {
    return title(a) < title(b);
}

bool matchesSearch(TextActionType type, std::string_view searchText) {
    const std::string needle = text::lower(searchText);
    return text::lower(title(type)).find(needle) != std::string::npos ||
           text::lower(keywords(type)).find(needle) != std::string::npos;
}

} // namespace lexorra
