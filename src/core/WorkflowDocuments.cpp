#include "core/WorkflowDocuments.h"

#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/Uuid.h"
#include "core/WorkflowRuns.h"

#include <cstdlib>
#include <map>

namespace lexorra {

Value workflowListValue(const std::vector<TextActionSeqPtr>& workflows) {
    ValueList list;
    list.reserve(workflows.size());
    for (const auto& seq : workflows)
        list.push_back(seq->toDictionary(true));
    return Value(std::move(list));
}

std::vector<TextActionSeqPtr> workflowsFromListValue(const Value& list) {
    std::vector<TextActionSeqPtr> workflows;
    if (!list.isList()) return workflows;
    for (const auto& entry : list.asList()) {
        if (!entry.isMap()) continue;
        if (auto seq = TextActionSeq::fromDictionary(entry)) {
            seq->allowToEdit = true;
            workflows.push_back(std::move(seq));
        }
    }
    return workflows;
}

std::vector<TextActionSeqPtr> selectForExport(const std::vector<TextActionSeqPtr>& workflows,
                                              std::string_view idOrAll) {
    if (idOrAll.empty() || idOrAll == "all") return workflows;
    std::vector<TextActionSeqPtr> selected;
    for (const auto& seq : workflows)
        if (seq->id == idOrAll) {
            selected.push_back(seq);
            break;
        }
    // A workflow travels with the workflows its Run Workflow steps use, each once.
    if (!selected.empty()) {
        const auto lookup = lookupIn(workflows);
        for (const auto& id : workflowsUsedBy(*selected.front(), lookup))
            if (auto used = findWorkflow(workflows, id); used && used->id == id) selected.push_back(used);
    }
    return selected;
}

std::string exchangeJson(const std::vector<TextActionSeqPtr>& workflows) {
    Dictionary document = makeDictionary();
    document.set("workflows", workflowListValue(workflows));
    return json::write(document, {.pretty = true});
}

bool writeExchangeFile(const std::filesystem::path& file, const std::vector<TextActionSeqPtr>& workflows,
                       std::string* error) {
    return AtomicFile::write(file, exchangeJson(workflows), error);
}

ImportResult readExchangeText(std::string_view text, ImportIds ids) {
    ImportResult result;
    auto document = json::parse(text);
    if (!document) return result;
    result.loaded = true;
    const Value* list = document->get("workflows");
    if (!list || !list->isList()) return result;
    // Fresh ids for a user's file; Run Workflow steps that name a workflow of the same file
    // follow it to its new id.
    std::map<std::string, std::string> renamed;
    if (ids == ImportIds::fresh)
        for (const auto& entry : list->asList())
            if (const Value* id = entry.isMap() ? entry.get("Id") : nullptr; id && id->isString())
                renamed.emplace(id->asString(), makeUuid());
    for (const auto& entry : list->asList()) {
        if (!entry.isMap()) continue;
        Dictionary dictionary = entry;
        if (ids == ImportIds::fresh) {
            const Value* id = dictionary.get("Id");
            dictionary.set("Id", id && id->isString() ? renamed[id->asString()] : makeUuid());
        }
        if (auto seq = TextActionSeq::fromDictionary(dictionary)) {
            for (const auto& action : seq->actionsArray) {
                if (!runsWorkflow(action->type)) continue;
                const Value target = action->optionValue("WorkflowID");
                if (auto to = target.isString() ? renamed.find(target.asString()) : renamed.end(); to != renamed.end())
                    action->setOption("WorkflowID", Value(to->second));
            }
            seq->allowToEdit = true;
            result.workflows.push_back(std::move(seq));
        }
    }
    return result;
}

ImportResult readExchangeFile(const std::filesystem::path& file, ImportIds ids) {
    auto bytes = readWholeFile(file);
    if (!bytes) return {};
    return readExchangeText(*bytes, ids);
}

std::filesystem::path defaultWorkflowsFile() {
    if (const char* folder = std::getenv("LEXORRA_RESOURCE_DIR"); folder && *folder)
        return std::filesystem::path(folder) / "workflows.json";
    auto built = std::filesystem::path(LEXORRA_RESOURCE_DIR) / "workflows.json";
    std::error_code ec;
    if (std::filesystem::exists(built, ec)) return built;
    // An installed program finds its resources beside its own folder: bin/../share/lexorra.
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path().parent_path() / "share" / "lexorra" / "workflows.json";
    return built;
}

std::vector<TextActionSeqPtr> loadDefaultWorkflowList() {
    return readExchangeFile(defaultWorkflowsFile(), ImportIds::keep).workflows;
}

TextActionSeqPtr findWorkflow(const std::vector<TextActionSeqPtr>& workflows, std::string_view id,
                              std::string_view name) {
    if (!id.empty())
        for (const auto& seq : workflows)
            if (seq->id == id) return seq;
    if (!name.empty())
        for (const auto& seq : workflows)
            if (seq->name == name) return seq;
    return nullptr;
}

} // namespace lexorra
