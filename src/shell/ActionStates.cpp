#include "shell/ActionStates.h"

#include "core/ActionFactory.h"
#include "core/AppManager.h"
#include "core/SettingsStore.h"

namespace lexorra::shell {
namespace {

constexpr SettingName statesKey = SettingKeyId::actionStates;
// A built-in sequence holds one action, whose id is new at every start.
constexpr std::string_view builtInKey = "builtIn";

// A password typed into the built-in Encryption action is not meant to outlive the session.
bool remembered(const OptionDecl& decl) {
    return decl.key != "Password";
}

Dictionary changedOptions(const TextAction& action) {
    Dictionary options = makeDictionary();
    const auto fresh = makeDefault(action.type);
    for (const auto& decl : action.options()) {
        Value value = decl.get(action);
        if (remembered(decl) && !(value == decl.get(*fresh))) options.set(decl.key, std::move(value));
    }
    return options;
}

} // namespace

ActionStates::ActionStates(Settings& settings) : m_settings(settings) {
    if (auto stored = m_settings.value(statesKey)) m_lastWritten = *stored;
}

void ActionStates::apply(AppManager& app) const {
    if (!m_lastWritten.isMap()) return;
    for (const auto& seq : app.actionsSeqArray()) {
        const Value* state = m_lastWritten.get(seq->id);
        const Value* builtIn = state ? state->get(builtInKey) : nullptr;
        const Value* options = builtIn ? builtIn->get("options") : nullptr;
        if (!options || !options->isMap() || seq->actionsArray.empty()) continue;
        auto& action = *seq->actionsArray.front();
        for (const auto& decl : action.options())
            if (const Value* v = options->get(decl.key); v && remembered(decl)) action.setOption(decl.key, *v);
    }
    for (const auto& seq : app.workflowsSeqArray()) {
        const Value* state = m_lastWritten.get(seq->id);
        if (!state || !state->isMap()) continue;
        for (const auto& action : seq->actionsArray) {
            const Value* entry = state->get(action->id);
            const Value* enabled = entry ? entry->get("enabled") : nullptr;
            if (enabled && enabled->isBool() && action->enabled() != enabled->asBool())
                action->setEnabled(enabled->asBool());
        }
    }
}

bool ActionStates::save(const AppManager& app) {
    Dictionary states = makeDictionary();
    for (const auto& seq : app.actionsSeqArray()) {
        if (seq->actionsArray.empty()) continue;
        Dictionary options = changedOptions(*seq->actionsArray.front());
        if (options.asMap().empty()) continue;
        Dictionary entry = makeDictionary();
        entry.set("options", std::move(options));
        Dictionary state = makeDictionary();
        state.set(builtInKey, std::move(entry));
        states.set(seq->id, std::move(state));
    }
    for (const auto& seq : app.workflowsSeqArray()) {
        Dictionary state = makeDictionary();
        for (const auto& action : seq->actionsArray) {
            if (action->enabled()) continue;
            Dictionary entry = makeDictionary();
            entry.set("enabled", false);
            state.set(action->id, std::move(entry));
        }
        if (!state.asMap().empty()) states.set(seq->id, std::move(state));
    }
    if (states == m_lastWritten || (!m_lastWritten.isMap() && states.asMap().empty())) return false;
    if (!m_settings.setValue(statesKey, states)) return false;
    m_lastWritten = std::move(states);
    return true;
}

} // namespace lexorra::shell
