#include "actions/Registry.h"

#include "actions/lines/TextActionAddPrefix.h"
#include "actions/lines/TextActionAddSuffix.h"
#include "actions/lines/TextActionDeleteLines.h"
#include "actions/lines/TextActionFilterWords.h"
#include "actions/lines/TextActionInsertText.h"
#include "actions/lines/TextActionNumberLines.h"
#include "actions/lines/TextActionRemoveEmptyLines.h"
#include "actions/lines/TextActionRemoveLineBreaks.h"
#include "actions/lines/TextActionRemoveMultipleSpaces.h"
#include "actions/lines/TextActionReplaceString.h"
#include "actions/lines/TextActionTrimLines.h"
#include "actions/lines/TextActionBreakLines.h"
#include "actions/lines/TextActionRemoveCharacters.h"
#include "actions/lines/TextActionRemoveDuplicates.h"
#include "actions/lines/TextActionReorderLines.h"
#include "actions/lines/TextActionShuffle.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeLineAction(TextActionType type) {
    switch (type) {
    case TextActionType::replaceString: return std::make_shared<TextActionReplaceString>();
    case TextActionType::addPrefix: return std::make_shared<TextActionAddPrefix>();
    case TextActionType::addSuffix: return std::make_shared<TextActionAddSuffix>();
    case TextActionType::incertText: return std::make_shared<TextActionInsertText>();
    case TextActionType::numberLines: return std::make_shared<TextActionNumberLines>();
    case TextActionType::removeEmptyLines: return std::make_shared<TextActionRemoveEmptyLines>();
    case TextActionType::removeLineBreaks: return std::make_shared<TextActionRemoveLineBreaks>();
    case TextActionType::removeMultipleSpaces: return std::make_shared<TextActionRemoveMultipleSpaces>();
    case TextActionType::trimLines: return std::make_shared<TextActionTrimLines>();
    case TextActionType::deleteRows: return std::make_shared<TextActionDeleteLines>();
    case TextActionType::filterWords: return std::make_shared<TextActionFilterWords>();
    case TextActionType::reorderLines: return std::make_shared<TextActionReorderLines>();
    case TextActionType::removeCharacters: return std::make_shared<TextActionRemoveCharacters>();
    case TextActionType::breakLines: return std::make_shared<TextActionBreakLines>();
    case TextActionType::removeDuplicates: return std::make_shared<TextActionRemoveDuplicates>();
    case TextActionType::shuffle: return std::make_shared<TextActionShuffle>();
    default: return nullptr;
    }
}

} // namespace lexorra::actions
