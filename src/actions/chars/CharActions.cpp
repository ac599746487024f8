#include "actions/Registry.h"

#include "actions/chars/TextActionEncodeDecode.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeCharAction(TextActionType type) {
    switch (type) {
    case TextActionType::encodeDecode: return std::make_shared<TextActionEncodeDecode>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
