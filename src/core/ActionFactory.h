#pragma once

#include "core/TextAction.h"
#include "core/Value.h"

#include <memory>
#include <vector>

namespace lexorra {

// The action of a kind with its default options.
std::shared_ptr<TextAction> makeDefault(TextActionType type);

// Rebuilds an action of a known kind from its dictionary form: the defaults, then every
// option present, then the stored "Id". nullptr when the kind's reader rejects it.
std::shared_ptr<TextAction> fromDictionary(TextActionType type, const Dictionary& dictionary);

// Reads "Type" first; nullptr when it is missing, not an integer, or outside the catalogue.
std::shared_ptr<TextAction> actionFromDictionary(const Dictionary& dictionary);

// Restores a list in order, dropping the entries that cannot be restored.
std::vector<std::shared_ptr<TextAction>> actionsFromList(const Value& list);

} // namespace lexorra
