#include "actions/Registry.h"
#include "actions/chars/TextActionEncryption.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeCharAction(TextActionType type) {
    switch (type) {
    case TextActionType::encryption: return std::make_shared<TextActionEncryption>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
