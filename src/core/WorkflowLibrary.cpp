#include "core/WorkflowLibrary.h"

#include "core/Diagnostics.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "core/WorkflowMirror.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <set>

namespace lexorra {
namespace {

std::vector<TextActionSeqPtr> storedList(const Dictionary& values) {
    const Value* list = values.get("SavedWorkFlows");
    return list ? workflowsFromListValue(*list) : std::vector<TextActionSeqPtr>{};
}

void storeList(Dictionary& values, const std::vector<TextActionSeqPtr>& list) {
    values.set("SavedWorkFlows", workflowListValue(list));
    values.set("Version", appVersionString());
}

std::map<std::string, std::string> jsonById(const std::vector<TextActionSeqPtr>& list) {
    std::map<std::string, std::string> texts;
    for (const auto& seq : list)
        texts.emplace(seq->id, seq->jsonString());
    return texts;
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

} // namespace

// The object store and its sync folder, opened for one operation. The folder observes the
// store, so it goes first.
struct WorkflowLibrary::Sync {
    std::unique_ptr<ObjectStore> store;
    std::unique_ptr<SyncFolder> folder;
};

WorkflowLibrary::WorkflowLibrary(Settings* settings, Options options)
    : m_ownSettings(settings ? nullptr : std::make_unique<Settings>()),
      m_settings(settings ? settings : m_ownSettings.get()), m_options(std::move(options)) {}

WorkflowLibrary::~WorkflowLibrary() = default;

std::filesystem::path WorkflowLibrary::storeFile() const {
    return m_settings->store(StoreKind::group).file();
}

bool WorkflowLibrary::syncEnabled() const {
    // The switch lives in the user's own store, which another program may just have changed.
    SettingsStore& standard = m_settings->store(StoreKind::standard);
    standard.reload();
    return m_settings->boolean("iCloudSyncEnabled");
}

WorkflowLoad WorkflowLibrary::load() {
    auto load = loadWorkflowsFromStores(*m_settings);
    if (!load.storeUnreadable) {
        remember(load.workflows);
        noteDiskState();
    }
    return load;
}

std::optional<std::vector<TextActionSeqPtr>> WorkflowLibrary::current(std::string* problem) {
    // With synchronisation on, a reader sees what other machines changed too: taking it in
    // is an edit that changes nothing itself.
    if (syncEnabled()) {
        std::vector<TextActionSeqPtr> list;
        auto read = edit([&](const auto& stored) { list = stored; });
        if (read.saved) return list;
    }
    auto loaded = loadWorkflowsFromStores(*m_settings);
    if (loaded.storeUnreadable) {
        if (problem) *problem = loaded.problem.empty() ? "the workflow store cannot be read" : loaded.problem;
        return std::nullopt;
    }
    return std::move(loaded.workflows);
}

TextActionSeqPtr WorkflowLibrary::find(std::string_view nameOrId, std::string* problem) {
    auto list = current(problem);
    return list ? findWorkflow(*list, nameOrId) : nullptr;
}

std::unique_ptr<WorkflowLibrary::Sync> WorkflowLibrary::openSync(std::string* error) {
    auto sync = std::make_unique<Sync>();
    const std::filesystem::path path = m_options.objectStorePath.empty()
                                           ? ObjectStore::defaultPath()
                                           : std::filesystem::path(m_options.objectStorePath);
    sync->store = ObjectStore::open(path, m_options.machineId.empty() ? localMachineId() : m_options.machineId, error);
    if (!sync->store) return nullptr;
    sync->folder = std::make_unique<SyncFolder>(*sync->store, m_settings->syncFolder());
    return sync;
}

std::vector<std::string> WorkflowLibrary::mergeNewerRecords(Sync& sync, std::vector<TextActionSeqPtr>& list) {
    sync.folder->scanNow();
    // What this machine wrote to the store came from a list, which is at least as new:
    // only other machines' records can hold changes the list has not seen. (A record of
    // ours that differs from the list is an edit still waiting for its debounced push.)
    std::vector<WorkflowRecord> foreign;
    for (auto& record : sync.store->records())
        if (record.machineId != sync.store->machineId()) foreign.push_back(std::move(record));
    const MergeResult merged = mergeRecordsIntoList(foreign, list);
    std::vector<std::string> ids = merged.added;
    ids.insert(ids.end(), merged.removed.begin(), merged.removed.end());
    ids.insert(ids.end(), merged.updated.begin(), merged.updated.end());
    return ids;
}

WorkflowLibrary::Edit WorkflowLibrary::edit(const std::function<void(std::vector<TextActionSeqPtr>&)>& change) {
    Edit result;
    SettingsStore& group = m_settings->store(StoreKind::group);
    // A first start: the defaults come first, as they would for the window.
    if (group.reload() == SettingsStore::State::missing) load();

    std::unique_ptr<Sync> sync;
    if (syncEnabled()) {
        std::string error;
        sync = openSync(&error);
        if (!sync) diagnostic(error); // the list is still saved; the store catches up later
    }
    std::vector<TextActionSeqPtr> after;
    result.saved = group.update(
        [&](Dictionary& values) {
            auto list = storedList(values);
            if (sync) result.merged = mergeNewerRecords(*sync, list);
            const auto before = jsonById(list);
            change(list);
            std::set<std::string> kept;
            for (const auto& seq : list) {
                kept.insert(seq->id);
                const auto old = before.find(seq->id);
                if (old == before.end() || old->second != seq->jsonString()) result.changed.push_back(seq->id);
            }
            for (const auto& [id, text] : before)
                if (!kept.contains(id)) result.removed.push_back(id);
            storeList(values, list);
            after = std::move(list);
        },
        [&] { noteDiskState(); });
    if (!result.saved) {
        result.problem = group.problem();
        return result;
    }
    remember(after);
    if (sync) {
        // This edit's own changes, and workflows the store has never had (made while
        // synchronisation was off): neither can be a stale copy of a newer record.
        std::vector<std::string> pushed = result.changed;
        pushed.insert(pushed.end(), result.removed.begin(), result.removed.end());
        for (const auto& seq : after)
            if (sync->store->fetch(seq->id).empty()) pushed.push_back(seq->id);
        std::string error;
        if (!pushed.empty() && !pushTo(*sync, after, pushed, &error)) diagnostic(error);
    }
    return result;
}

WorkflowLibrary::Edit WorkflowLibrary::importFile(const std::filesystem::path& file,
                                                  std::vector<TextActionSeqPtr>* imported, bool* readable) {
    auto read = readExchangeFile(file, ImportIds::fresh);
    if (readable) *readable = read.loaded;
    if (!read.loaded) {
        Edit failed;
        failed.problem =
            std::string(importErrorTitle) + ": " + std::string(importErrorText) + " (\"" + file.string() + "\")";
        return failed;
    }
    if (imported) *imported = read.workflows;
    return edit([&](auto& list) { list.insert(list.end(), read.workflows.begin(), read.workflows.end()); });
}

WorkflowLibrary::Edit WorkflowLibrary::remove(const std::string& id, bool* found) {
    bool erased = false;
    auto result =
        edit([&](auto& list) { erased = std::erase_if(list, [&](const auto& s) { return s->id == id; }) > 0; });
    if (found) *found = erased;
    return result;
}

WorkflowLibrary::Reconciled WorkflowLibrary::reconcile(std::vector<TextActionSeqPtr>& list) {
    Reconciled result;
    SettingsStore& group = m_settings->store(StoreKind::group);
    const auto local = jsonById(list);
    std::vector<TextActionSeqPtr> merged;
    result.saved = group.update(
        [&](Dictionary& values) {
            auto stored = storedList(values);
            std::map<std::string, TextActionSeqPtr> storedById;
            for (const auto& seq : stored)
                storedById.emplace(seq->id, seq);
            const auto storedJson = jsonById(stored);
            auto baseOf = [&](const std::string& id) -> const std::string* {
                auto it = m_base.find(id);
                return it == m_base.end() ? nullptr : &it->second;
            };

            for (const auto& seq : list) {
                const std::string& mine = local.at(seq->id);
                const std::string* base = baseOf(seq->id);
                const bool changedHere = !base || *base != mine;
                auto there = storedById.find(seq->id);
                if (there == storedById.end()) {
                    if (!changedHere) {
                        result.removed.push_back(seq->id); // deleted elsewhere
                        continue;
                    }
                    result.local.push_back(seq->id); // new here, or changed here after a delete elsewhere
                } else if (storedJson.at(seq->id) != mine) {
                    if (changedHere) {
                        result.local.push_back(seq->id);
                    } else {
                        const TextActionSeq& theirs = *there->second;
                        seq->name = theirs.name;
                        seq->icon = theirs.icon;
                        seq->actionsArray = theirs.actionsArray;
                        result.updated.push_back(seq->id);
                    }
                }
                merged.push_back(seq);
            }
            for (const auto& seq : stored) {
                if (local.contains(seq->id)) continue;
                const std::string* base = baseOf(seq->id);
                if (base && *base == storedJson.at(seq->id)) {
                    result.local.push_back(seq->id); // deleted here
                    continue;
                }
                merged.push_back(seq);
                result.added.push_back(seq->id);
            }
            storeList(values, merged);
        },
        [&] { noteDiskState(); });
    if (!result.saved) {
        result.unreadable = group.isUnreadable();
        result.problem = group.problem();
        return result;
    }
    list = std::move(merged);
    remember(list);
    return result;
}

void WorkflowLibrary::remember(const std::vector<TextActionSeqPtr>& list) {
    m_base = jsonById(list);
}

WorkflowLibrary::DiskState WorkflowLibrary::diskState() const {
    struct stat info {};
    if (::stat(storeFile().c_str(), &info) != 0) return {};
    return {static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<std::uintmax_t>(info.st_size), static_cast<std::uintmax_t>(info.st_ino)};
}

void WorkflowLibrary::noteDiskState() {
    m_seen = diskState();
}

bool WorkflowLibrary::changedOnDisk() const {
    return !(diskState() == m_seen);
}

std::optional<std::filesystem::path> WorkflowLibrary::setAsideUnreadableStore(std::string* problem) {
    const auto file = storeFile();
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    auto aside = file;
    aside += std::string(".unreadable-") + stamp;
    std::error_code ec;
    std::filesystem::rename(file, aside, ec);
    if (ec) {
        if (problem) *problem = "\"" + file.string() + "\" cannot be renamed: " + ec.message();
        return std::nullopt;
    }
    m_settings->store(StoreKind::group).reload();
    return aside;
}

bool WorkflowLibrary::pushTo(Sync& sync, const std::vector<TextActionSeqPtr>& list, const std::vector<std::string>& ids,
                             std::string* error) {
    ObjectStore& store = *sync.store;
    std::vector<TextActionSeqPtr> present;
    for (const auto& id : ids) {
        auto seq = std::find_if(list.begin(), list.end(), [&](const auto& s) { return s->id == id; });
        if (seq != list.end()) {
            present.push_back(*seq);
            continue;
        }
        // Deleted: a tombstone goes out even for a workflow that was never pushed, since
        // another machine may have it (the default workflows share their ids).
        auto found = store.fetch(id);
        WorkflowRecord record = found.empty() ? WorkflowRecord{.id = id} : found.front();
        record.hidden = true;
        if (found.empty())
            store.insert(std::move(record));
        else
            store.update(std::move(record));
    }
    std::string pushError;
    const bool changed = pushWorkflowsToStore(store, present, &pushError);
    if (!changed && store.hasChanges() && !store.save(&pushError)) diagnostic(pushError);
    if (!pushError.empty() && error) *error = pushError;
    return pushError.empty();
}

} // namespace lexorra
