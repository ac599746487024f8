#include "actions/Registry.h"

#include "actions/lines/TextActionBreakLines.h"
#include "actions/lines/TextActionRemoveCharacters.h"
#include "actions/lines/TextActionRemoveDuplicates.h"
#include "actions/lines/TextActionReorderLines.h"
#include "actions/lines/TextActionReplaceString.h"
#include "actions/lines/TextActionShuffle.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeLineAction(TextActionType type) {
    switch (type) {
    case TextActionType::replaceString: return std::make_shared<TextActionReplaceString>();
    case TextActionType::reorderLines: return std::make_shared<TextActionReorderLines>();
    case TextActionType::removeCharacters: return std::make_shared<TextActionRemoveCharacters>();
    case TextActionType::breakLines: return std::make_shared<TextActionBreakLines>();
    case TextActionType::removeDuplicates: return std::make_shared<TextActionRemoveDuplicates>();
    case TextActionType::shuffle: return std::make_shared<TextActionShuffle>();
    default: return nullptr;
    }
}

} // namespace lexorra::actions
