#include "actions/Registry.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeCharAction(TextActionType type) {
    switch (type) {
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
