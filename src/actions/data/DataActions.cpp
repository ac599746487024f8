#include "actions/Registry.h"

#include "actions/data/TextActionJSON.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::JSON: return std::make_shared<TextActionJSON>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
