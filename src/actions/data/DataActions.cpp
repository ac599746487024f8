#include "actions/Registry.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
