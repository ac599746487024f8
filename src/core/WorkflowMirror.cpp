#include "core/WorkflowMirror.h"

#include "core/Diagnostics.h"

#include <algorithm>

namespace lexorra {

bool pushWorkflowsToStore(ObjectStore& store, const std::vector<TextActionSeqPtr>& workflows, std::string* error) {
    bool dbHasChanges = false;
    for (const auto& seq : workflows) {
        const std::string json = seq->jsonString();
        auto found = store.fetch(seq->id);
        if (found.empty()) {
            store.insert({.id = seq->id, .name = seq->name, .jsonString = json, .hidden = false});
            dbHasChanges = true;
        } else if (found.front().jsonString != json) {
            WorkflowRecord record = found.front();
            record.jsonString = json;
            store.update(std::move(record));
            dbHasChanges = true;
        }
    }
    if (dbHasChanges && !store.save(error)) diagnostic(error ? *error : "Unresolved error saving the object store");
    return dbHasChanges;
}

MergeResult mergeRecordsIntoList(const std::vector<WorkflowRecord>& records, std::vector<TextActionSeqPtr>& workflows) {
    MergeResult result;
    for (const auto& record : records) {
        auto local = std::find_if(workflows.begin(), workflows.end(), [&](const auto& s) { return s->id == record.id; });
        if (local == workflows.end()) {
            if (record.hidden) continue;
            if (auto seq = TextActionSeq::fromJsonString(record.jsonString)) {
                seq->allowToEdit = true;
                workflows.push_back(std::move(seq));
                result.added.push_back(record.id);
            }
            continue;
        }
        if (record.hidden) {
            std::erase_if(workflows, [&](const auto& s) { return s->id == record.id; });
            result.removed.push_back(record.id);
            continue;
        }
        if (record.jsonString == (*local)->jsonString()) continue;
        if (auto parsed = TextActionSeq::fromJsonString(record.jsonString)) {
            (*local)->name = parsed->name;
            (*local)->actionsArray = std::move(parsed->actionsArray);
            result.updated.push_back(record.id);
        }
    }
    return result;
}

bool hideWorkflowRecord(ObjectStore& store, const std::string& id, std::string* error) {
    auto found = store.fetch(id);
    if (found.empty()) return false;
    WorkflowRecord record = found.front();
    record.hidden = true;
    store.update(std::move(record));
    return store.save(error);
}

} // namespace lexorra
