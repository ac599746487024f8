#pragma once

#include "core/Value.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lexorra {

class TextAction;

enum class OptionKind {
    text,          // one-line text field
    multilineText, // text area
    toggle,        // switch; stored as a boolean
    menu,          // labelled cases; stored as the integer raw value
    stepper,       // integer with a range and step
    integer,       // integer without a panel range
    workflow,      // the id of one of the user's workflows; the panel offers them by name
};

std::string_view optionKindName(OptionKind kind);

// One case of a menu option: raw value, case name and the label the panel shows.
struct MenuCase {
    std::int64_t raw;
    std::string name;
    std::string label;
};

// The one declaration of an option. Dictionary forms, copies, the command line's
// --set and the option panels all go through it:
//
//   bind<TextActionConvertCase>({.key = "CaseType", .label = "Case:", .kind = OptionKind::menu,
//                                .cases = convertCaseCases()},
//                               &TextActionConvertCase::caseType)
struct OptionDecl {
    std::string key;   // dictionary key, stable
    std::string label; // panel label
    OptionKind kind = OptionKind::text;
    std::string hint;
    // Reading a stored dictionary: a missing key keeps the default unless `required`,
    // and an ill-typed or out-of-range value keeps the default unless `rejectInvalid`;
    // in those two cases the action cannot be restored (fromDictionary yields nothing).
    bool required = false;
    bool rejectInvalid = false;
    std::vector<MenuCase> cases;
    std::int64_t minimum = std::numeric_limits<std::int64_t>::min();
    std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
    std::int64_t step = 1;
    std::function<bool(const TextAction&)> visible; // empty: always visible

    std::function<Value(const TextAction&)> get;
    std::function<void(TextAction&, const Value&)> set; // takes a value that coerce() accepted

    // The stored value in this option's own type (string, bool or integer), or nullopt
    // when it has another type or names no menu case.
    std::optional<Value> coerce(const Value& stored) const;
    // A command-line value: text as is; toggles true/false/1/0 (also yes/no);
    // menus a raw value, a case name or a label; integers in decimal.
    std::optional<Value> parse(std::string_view text) const;
    // What parse() accepts, for error messages: "a menu case (0 upperCase, ...)".
    std::string expectation() const;

    const MenuCase* menuCase(std::int64_t raw) const;
    bool isVisible(const TextAction& action) const { return !visible || visible(action); }
};

using OptionList = std::vector<OptionDecl>;

namespace detail {
template <class A> A& as(TextAction& a) { return static_cast<A&>(a); }
template <class A> const A& as(const TextAction& a) { return static_cast<const A&>(a); }
} // namespace detail

// Binds a declaration to the field that holds the option.
template <class A> OptionDecl bind(OptionDecl decl, std::string A::*field) {
    decl.get = [field](const TextAction& a) { return Value(detail::as<A>(a).*field); };
    decl.set = [field](TextAction& a, const Value& v) { detail::as<A>(a).*field = v.asString(); };
    return decl;
}

template <class A> OptionDecl bind(OptionDecl decl, bool A::*field) {
    if (decl.kind == OptionKind::text) decl.kind = OptionKind::toggle;
    decl.get = [field](const TextAction& a) { return Value(detail::as<A>(a).*field); };
    decl.set = [field](TextAction& a, const Value& v) { detail::as<A>(a).*field = v.asBool(); };
    return decl;
}

template <class A, class T>
    requires(std::is_integral_v<T> || std::is_enum_v<T>)
OptionDecl bind(OptionDecl decl, T A::*field) {
    if (decl.kind == OptionKind::text) decl.kind = std::is_enum_v<T> ? OptionKind::menu : OptionKind::integer;
    decl.get = [field](const TextAction& a) {
        return Value(static_cast<std::int64_t>(detail::as<A>(a).*field));
    };
    decl.set = [field](TextAction& a, const Value& v) { detail::as<A>(a).*field = static_cast<T>(v.asInteger()); };
    return decl;
}

} // namespace lexorra
