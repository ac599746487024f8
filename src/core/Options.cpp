#include "core/Options.h"

#include "text/Case.h"

#include <charconv>

namespace lexorra {

std::string_view optionKindName(OptionKind kind) {
    switch (kind) {
    case OptionKind::text: return "text";
    case OptionKind::multilineText: return "multilineText";
    case OptionKind::toggle: return "toggle";
    case OptionKind::menu: return "menu";
    case OptionKind::stepper: return "stepper";
    case OptionKind::integer: return "integer";
    case OptionKind::workflow: return "workflow";
    }
    return "text";
}

const MenuCase* OptionDecl::menuCase(std::int64_t raw) const {
    for (const auto& c : cases)
        if (c.raw == raw) return &c;
    return nullptr;
}

std::optional<Value> OptionDecl::coerce(const Value& stored) const {
    switch (kind) {
    case OptionKind::text:
    case OptionKind::multilineText:
    case OptionKind::workflow:
        if (auto s = stored.toString()) return Value(*s);
        return std::nullopt;
    case OptionKind::toggle:
        if (auto b = stored.toBool()) return Value(*b);
        return std::nullopt;
    case OptionKind::menu:
        if (auto i = stored.toInteger(); i && menuCase(*i)) return Value(*i);
        return std::nullopt;
    case OptionKind::stepper:
    case OptionKind::integer:
        if (auto i = stored.toInteger()) return Value(*i);
        return std::nullopt;
    }
    return std::nullopt;
}

static std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::int64_t value = 0;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<Value> OptionDecl::parse(std::string_view text) const {
    switch (kind) {
    case OptionKind::text:
    case OptionKind::multilineText:
    case OptionKind::workflow:
        return Value(std::string(text));
    case OptionKind::toggle: {
        const auto t = text::asciiLower(text);
        if (t == "true" || t == "1" || t == "yes") return Value(true);
        if (t == "false" || t == "0" || t == "no") return Value(false);
        return std::nullopt;
    }
    case OptionKind::menu: {
        if (auto raw = parseInteger(text); raw && menuCase(*raw)) return Value(*raw);
        for (const auto& c : cases)
            if (c.name == text) return Value(c.raw);
        const auto wanted = text::asciiLower(text);
        for (const auto& c : cases)
            if (text::asciiLower(c.name) == wanted || text::asciiLower(c.label) == wanted) return Value(c.raw);
        return std::nullopt;
    }
    case OptionKind::stepper:
    case OptionKind::integer:
        if (auto i = parseInteger(text)) return Value(*i);
        return std::nullopt;
    }
    return std::nullopt;
}

std::string OptionDecl::expectation() const {
    switch (kind) {
    case OptionKind::text:
    case OptionKind::multilineText:
    case OptionKind::workflow:
        return "a text";
    case OptionKind::toggle:
        return "true or false";
    case OptionKind::menu: {
        std::string s = "one of";
        for (size_t i = 0; i < cases.size(); ++i) {
            s += i ? ", " : " ";
            s += std::to_string(cases[i].raw) + " (" + cases[i].name + ")";
        }
        return s;
    }
    case OptionKind::stepper:
    case OptionKind::integer:
        return "an integer";
    }
    return "a value";
}

} // namespace lexorra
