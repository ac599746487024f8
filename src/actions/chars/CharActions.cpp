#include "actions/Registry.h"

#include "actions/chars/TextActionConvertCase.h"
#include "actions/chars/TextActionQuotesConverter.h"
#include "actions/chars/TextActionSpecialTransformations.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeCharAction(TextActionType type) {
    switch (type) {
    case TextActionType::convertCase: return std::make_shared<TextActionConvertCase>();
    case TextActionType::specialTransformations: return std::make_shared<TextActionSpecialTransformations>();
    case TextActionType::quotesConverter: return std::make_shared<TextActionQuotesConverter>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
