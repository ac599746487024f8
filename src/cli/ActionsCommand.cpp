#include "cli/ActionsCommand.h"

#include "core/ActionFactory.h"
#include "core/Json.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace lexorra::cli {

void ActionsCommand::declare(CLI::App& sub) { sub.add_flag("--json", m_json, "Print one JSON object per kind"); }

static Value describeOption(const OptionDecl& decl, const TextAction& defaults) {
    Dictionary d = makeDictionary();
    d.set("key", decl.key);
    d.set("label", decl.label);
    d.set("kind", std::string(optionKindName(decl.kind)));
    if (!decl.hint.empty()) d.set("hint", decl.hint);
    d.set("default", decl.get(defaults));
    d.set("required", decl.required);
    if (!decl.cases.empty()) {
        ValueList cases;
        for (const auto& c : decl.cases) {
            Dictionary cd = makeDictionary();
            cd.set("raw", c.raw);
            cd.set("name", c.name);
            cd.set("label", c.label);
            cases.push_back(std::move(cd));
        }
        d.set("cases", Value(std::move(cases)));
    }
    if (decl.kind == OptionKind::stepper) {
        d.set("minimum", decl.minimum);
        d.set("maximum", decl.maximum);
        d.set("step", decl.step);
    }
    return d;
}

int ActionsCommand::execute(Io& io) {
    if (!m_json) {
        for (auto type : allTextActionTypes()) {
            io.out << rawValue(type) << "\t" << caseName(type) << "\t" << title(type);
            auto action = makeDefault(type);
            std::string keys;
            for (const auto& decl : action->options()) keys += (keys.empty() ? "" : ", ") + decl.key;
            if (!keys.empty()) io.out << "\t[" << keys << "]";
            io.out << "\n";
        }
        return exitOk;
    }
    ValueList kinds;
    for (auto type : allTextActionTypes()) {
        auto action = makeDefault(type);
        Dictionary d = makeDictionary();
        d.set("raw", rawValue(type));
        d.set("caseName", std::string(caseName(type)));
        d.set("title", std::string(title(type)));
        d.set("icon", std::string(icon(type)));
        d.set("keywords", std::string(keywords(type)));
        d.set("hasOptions", defaultHasOptions(type));
        ValueList options;
        for (const auto& decl : action->options()) options.push_back(describeOption(decl, *action));
        d.set("options", Value(std::move(options)));
        kinds.push_back(std::move(d));
    }
    io.out << json::write(Value(std::move(kinds)), {.pretty = true}) << "\n";
    return exitOk;
}

} // namespace lexorra::cli
