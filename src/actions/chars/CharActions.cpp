#include "actions/Registry.h"
#include "actions/chars/TextActionEncryption.h"

#include "actions/chars/TextActionConvertCase.h"
#include "actions/chars/TextActionQuotesConverter.h"
#include "actions/chars/TextActionSpecialTransformations.h"
#include "actions/chars/TextActionDateConverter.h"
#include "actions/chars/TextActionEncodeDecode.h"
#include "actions/chars/TextActionQRCode.h"
#include "actions/chars/TextActionSpellOutNumbers.h"
#include "actions/chars/TextActionStats.h"
#include "actions/chars/TextActionTextGenerator.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeCharAction(TextActionType type) {
    switch (type) {
    case TextActionType::convertCase: return std::make_shared<TextActionConvertCase>();
    case TextActionType::specialTransformations: return std::make_shared<TextActionSpecialTransformations>();
    case TextActionType::quotesConverter: return std::make_shared<TextActionQuotesConverter>();
    case TextActionType::encodeDecode: return std::make_shared<TextActionEncodeDecode>();
    case TextActionType::stats: return std::make_shared<TextActionStats>();
    case TextActionType::spellOutNumbers: return std::make_shared<TextActionSpellOutNumbers>();
    case TextActionType::generateQRCode: return std::make_shared<TextActionQRCode>();
    case TextActionType::dateConverter: return std::make_shared<TextActionDateConverter>();
    case TextActionType::textGenerator: return std::make_shared<TextActionTextGenerator>();
    case TextActionType::encryption: return std::make_shared<TextActionEncryption>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
