#include "actions/Registry.h"
#include "actions/data/TextActionCSVtoMarkdown.h"
#include "actions/data/TextActionJSONtoCSV.h"
#include "actions/data/TextActionMarkdownToHtml.h"

namespace lexorra::actions {

std::shared_ptr<TextAction> makeDataAction(TextActionType type) {
    switch (type) {
    case TextActionType::csvToMarkdown: return std::make_shared<TextActionCSVtoMarkdown>();
    case TextActionType::JSONtoCSV: return std::make_shared<TextActionJSONtoCSV>();
    case TextActionType::markdownToHtml: return std::make_shared<TextActionMarkdownToHtml>();
    default:
        return nullptr;
    }
}

} // namespace lexorra::actions
