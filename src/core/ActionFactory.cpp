#include "core/ActionFactory.h"

namespace lexorra {

// Each kind's class defines its factory in its own source file (LEXORRA_ACTION_FACTORY), so
// the catalogue needs no class's header.
#define TEXT_ACTION(raw, caseName, className, ...) std::shared_ptr<TextAction> make##className();
#include "core/ActionKinds.def"
#undef TEXT_ACTION

std::shared_ptr<TextAction> makeDefault(TextActionType type) {
    switch (type) {
#define TEXT_ACTION(raw, caseName, className, ...)                                                                     \
    case TextActionType::caseName:                                                                                     \
        return make##className();
#include "core/ActionKinds.def"
#undef TEXT_ACTION
    }
    // A raw value outside the catalogue behaves as the base: it returns its input.
    return std::make_shared<TextAction>(type);
}

std::shared_ptr<TextAction> fromDictionary(TextActionType type, const Dictionary& dictionary) {
    auto action = makeDefault(type);
    if (!action->readOptions(dictionary)) return nullptr;
    // An entry without a string "Id" keeps its fresh id rather than being dropped.
    if (const Value* id = dictionary.get("Id"); id && id->isString()) action->id = id->asString();
    return action;
}

std::shared_ptr<TextAction> actionFromDictionary(const Dictionary& dictionary) {
    const Value* typeValue = dictionary.get("Type");
    if (!typeValue) return nullptr;
    auto raw = typeValue->toInteger();
    if (!raw || typeValue->isBool()) return nullptr;
    auto type = textActionTypeFromRaw(*raw);
    if (!type) return nullptr;
    return fromDictionary(*type, dictionary);
}

std::vector<std::shared_ptr<TextAction>> actionsFromList(const Value& list) {
    std::vector<std::shared_ptr<TextAction>> actions;
    if (!list.isList()) return actions;
    for (const auto& entry : list.asList())
        if (auto action = actionFromDictionary(entry)) actions.push_back(std::move(action));
    return actions;
}

} // namespace lexorra
