#include "actions/Registry.h"

#include "actions/lines/TextActionReplaceString.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeLineAction(TextActionType type) {
    switch (type) {
    case TextActionType::replaceString: return std::make_shared<TextActionReplaceString>();
    default: return nullptr;
    }
}

} // namespace lexorra::actions
