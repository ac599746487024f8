#include "actions/Registry.h"
#include "actions/data/TextActionChatGPT.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::chatGPT: return std::make_shared<TextActionChatGPT>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
