#include "core/TextAction.h"

#include "core/ActionFactory.h"
#include "core/Scheduler.h"
#include "core/Uuid.h"

namespace lexorra {

TextAction::TextAction(TextActionType kind)
    : updateTaskID(makeUuid()), id(makeUuid()), type(kind), m_name(title(kind)) {
    if (!defaultHasOptions(kind)) {
        m_hasOptions = false;
        m_showDetails = false;
    }
}

void TextAction::setEnabled(bool enabled) {
    m_enabled = enabled;
    notifyChanged("enabled");
    if (!enabled) setShowDetails(false);
}

void TextAction::setShowDetails(bool show) {
    m_showDetails = show;
    notifyChanged("showDetails");
}

void TextAction::setName(std::string name) {
    m_name = std::move(name);
    notifyChanged("name");
}

void TextAction::setHasOptions(bool has) {
    m_hasOptions = has;
    notifyChanged("hasOptions");
}

void TextAction::setIsNew(bool isNew) {
    m_isNew = isNew;
    notifyChanged("isNew");
}

std::shared_ptr<TextAction> TextAction::copy() const {
    auto result = makeDefault(type);
    result->m_name = m_name;
    result->m_enabled = m_enabled;
    if (!m_enabled) result->m_showDetails = false; // as setEnabled(false) would
    result->m_hasOptions = m_hasOptions;
    for (const auto& decl : options())
        decl.set(*result, decl.get(*this));
    return result;
}

std::string TextAction::transform(std::string_view text) const {
    return std::string(text);
}

Dictionary TextAction::toDictionary() const {
    Dictionary d = makeDictionary();
    d.set("Name", m_name);
    d.set("Id", id);
    d.set("Type", rawValue(type));
    for (const auto& decl : options())
        d.set(decl.key, decl.get(*this));
    return d;
}

const OptionList& TextAction::options() const {
    static const OptionList none;
    return none;
}

bool TextAction::readOptions(const Dictionary& dictionary) {
    for (const auto& decl : options()) {
        const Value* stored = dictionary.get(decl.key);
        if (!stored) {
            if (decl.required) return false;
            continue;
        }
        if (auto value = decl.coerce(*stored))
            decl.set(*this, *value);
        else if (decl.rejectInvalid)
            return false;
    }
    return true;
}

const OptionDecl* TextAction::option(std::string_view key) const {
    for (const auto& decl : options())
        if (decl.key == key) return &decl;
    return nullptr;
}

Value TextAction::optionValue(std::string_view key) const {
    const auto* decl = option(key);
    return decl ? decl->get(*this) : Value();
}

bool TextAction::setOption(std::string_view key, const Value& value) {
    const auto* decl = option(key);
    if (!decl) return false;
    auto coerced = decl->coerce(value);
    if (!coerced) return false;
    decl->set(*this, *coerced);
    notifyChanged(decl->key);
    return true;
}

void TextAction::scheduleResultsUpdate(ResultsHost& host) {
    updateTaskID = makeUuid();
    if (auto last = m_optionEditsHost.lock(); !last || *last != &host) {
        // Another host (or a new one where a dead one was): its scheduler, and the old edit dropped.
        m_optionEdits.emplace(host.scheduler(), 1.0);
        m_optionEditsHost = host.lifetime();
    }
    m_optionEdits->schedule([hostLifetime = host.lifetime()] {
        const auto live = hostLifetime.lock();
        if (!live) return;
        (*live)->updateResults(true, false);
        (*live)->saveWorkFlowsToUserDefaults(true);
    });
}

int TextAction::addObserver(Observer observer) {
    m_observers.emplace_back(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void TextAction::removeObserver(int token) {
    std::erase_if(m_observers, [token](const auto& o) { return o.first == token; });
}

void TextAction::notifyChanged(std::string_view field) {
    for (auto& [token, observer] : m_observers)
        observer(*this, field);
}

} // namespace lexorra
