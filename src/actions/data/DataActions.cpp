#include "actions/Registry.h"
#include "actions/data/TextActionChatGPT.h"
#include "actions/data/TextActionCSVtoMarkdown.h"
#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/TextActionMarkdownToHtml.h"

#include "actions/data/TextActionJSON.h"
#include "actions/data/TextActionXML.h"
#include "actions/data/TextActionXMLtoJSON.h"
#include "actions/data/TextActionYAMLtoJSON.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::chatGPT: return std::make_shared<TextActionChatGPT>();
    case TextActionType::csvToMarkdown: return std::make_shared<TextActionCSVtoMarkdown>();
    case TextActionType::JSONtoCSV: return std::make_shared<TextActionJSONtoCSV>();
    case TextActionType::markdownToHtml: return std::make_shared<TextActionMarkdownToHtml>();
    case TextActionType::JSON: return std::make_shared<TextActionJSON>();
    case TextActionType::yaml: return std::make_shared<TextActionYAMLtoJSON>();
    case TextActionType::XML: return std::make_shared<TextActionXML>();
    case TextActionType::XMLtoJSON: return std::make_shared<TextActionXMLtoJSON>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
