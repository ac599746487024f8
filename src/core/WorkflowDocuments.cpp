#include "core/WorkflowDocuments.h"

#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/SettingsStore.h"
#include "core/Uuid.h"

#include <cstdlib>

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
    for (const auto& entry : list->asList()) {
        if (!entry.isMap()) continue;
        Dictionary dictionary = entry;
        if (ids == ImportIds::fresh) dictionary.set("Id", makeUuid());
        if (auto seq = TextActionSeq::fromDictionary(dictionary)) {
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
    const auto built = std::filesystem::path(LEXORRA_RESOURCE_DIR) / "workflows.json";
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

bool saveWorkflowsToGroupStore(Settings& settings, const std::vector<TextActionSeqPtr>& workflows,
                               std::string* problem) {
    SettingsStore& group = settings.store(StoreKind::group);
    Value list = workflowListValue(workflows);
    const bool saved = group.update([&](Dictionary& values) {
        values.set("SavedWorkFlows", std::move(list));
        values.set("Version", appVersionString());
    });
    if (!saved && problem) *problem = group.problem();
    return saved;
}

WorkflowLoad loadWorkflowsFromStores(Settings& settings) {
    WorkflowLoad load;
    settings.reload();
    SettingsStore& group = settings.store(StoreKind::group);
    auto readKeys = [&](const Value*& list, const Value*& version) {
        list = group.value("SavedWorkFlows");
        if (list && !list->isList()) list = nullptr;
        version = group.value("Version");
        if (version && !version->isString()) version = nullptr;
    };
    if (group.isUnreadable()) {
        load.storeUnreadable = true;
        load.problem = group.problem();
        return load;
    }
    const Value* list = nullptr;
    const Value* version = nullptr;
    readKeys(list, version);

    if (!version && !list) {
        // The list used to live in the standard store; move it over once. Another process
        // may be doing the same, so the check is repeated under the lock.
        const Value* legacy = settings.store(StoreKind::standard).value("SavedWorkFlows");
        const Value legacyList = legacy && legacy->isList() ? *legacy : Value();
        group.update([&](Dictionary& values) {
            if (values.contains("Version") || values.contains("SavedWorkFlows")) return;
            if (legacyList.isList()) values.set("SavedWorkFlows", legacyList);
            values.set("Version", appVersionString());
        });
        if (group.isUnreadable()) {
            load.storeUnreadable = true;
            load.problem = group.problem();
            return load;
        }
        readKeys(list, version);
    }

    if (!list) {
        load.firstStart = true;
        load.defaultsAdded = true;
        load.workflows = loadDefaultWorkflowList();
        saveWorkflowsToGroupStore(settings, load.workflows, &load.problem);
        return load;
    }
    load.workflows = workflowsFromListValue(*list);
    if (!version) {
        for (auto& seq : loadDefaultWorkflowList())
            load.workflows.push_back(std::move(seq));
        load.defaultsAdded = true;
        saveWorkflowsToGroupStore(settings, load.workflows, &load.problem);
    }
    return load;
}

bool updateWorkflowsInGroupStore(Settings& settings, const std::function<void(std::vector<TextActionSeqPtr>&)>& change,
                                 std::string* problem) {
    SettingsStore& group = settings.store(StoreKind::group);
    const bool saved = group.update([&](Dictionary& values) {
        const Value* list = values.get("SavedWorkFlows");
        auto workflows = list ? workflowsFromListValue(*list) : std::vector<TextActionSeqPtr>{};
        change(workflows);
        values.set("SavedWorkFlows", workflowListValue(workflows));
        values.set("Version", appVersionString());
    });
    if (!saved && problem) *problem = group.problem();
    return saved;
}

TextActionSeqPtr findWorkflow(const std::vector<TextActionSeqPtr>& workflows, std::string_view nameOrId) {
    for (const auto& seq : workflows)
        if (seq->id == nameOrId) return seq;
    for (const auto& seq : workflows)
        if (seq->name == nameOrId) return seq;
    return nullptr;
}

} // namespace lexorra
