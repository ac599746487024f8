#include "actions/Registry.h"

#include "actions/data/TextActionJSON.h"
#include "actions/data/TextActionYAMLtoJSON.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::JSON: return std::make_shared<TextActionJSON>();
    case TextActionType::yaml: return std::make_shared<TextActionYAMLtoJSON>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
