#include "actions/Registry.h"
#include "actions/data/TextActionCSVtoMarkdown.h"
#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/TextActionMarkdownToHtml.h"

#include "actions/data/TextActionJSON.h"
#include "actions/data/TextActionYAMLtoJSON.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::csvToMarkdown: return std::make_shared<TextActionCSVtoMarkdown>();
    case TextActionType::JSONtoCSV: return std::make_shared<TextActionJSONtoCSV>();
    case TextActionType::markdownToHtml: return std::make_shared<TextActionMarkdownToHtml>();
    case TextActionType::JSON: return std::make_shared<TextActionJSON>();
    case TextActionType::yaml: return std::make_shared<TextActionYAMLtoJSON>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
