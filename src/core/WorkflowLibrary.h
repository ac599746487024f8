#pragma once

#include "core/TextActionSeq.h"
#include "core/WorkflowDocuments.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

class ObjectStore;
class Settings;
class SyncFolder;

// What the start-up load found in the shared group store.
struct WorkflowLoad {
    std::vector<TextActionSeqPtr> workflows;
    // No list anywhere: the defaults were loaded (the shell shows its welcome text).
    bool firstStart = false;
    // The default workflows were added (first start, or a list without a version).
    bool defaultsAdded = false;
    // The group store exists but cannot be read: nothing was loaded or written.
    bool storeUnreadable = false;
    std::string problem;
};

// The one owner of the stored workflow list, for the window, the command line and the
// automation service alike. Several programs, and through the sync folder several
// machines, change the list; every change here is a read-modify-write under the group
// store's lock, so no writer loses another's workflow:
//
//   WorkflowLibrary library;                          // the user's stores
//   auto edit = library.edit([](auto& list) { list.push_back(seq); });
//   if (!edit.saved) report(edit.problem);
//
// With synchronisation on, an edit first takes in what other machines changed (the sync
// folder, then the object store), and then pushes only the workflows it changed itself,
// so a stale copy is never pushed over a newer one.
//
// A process that keeps the list in memory (the window) reconciles it instead: other
// writers' changes come in per workflow, its own go out.
class WorkflowLibrary {
public:
    struct Options {
        std::string objectStorePath; // empty: the default place
        std::string machineId;       // empty: this installation's
    };

    // settings: the stores to use; nullptr for the user's own.
    explicit WorkflowLibrary(Settings* settings = nullptr, Options options = {});
    ~WorkflowLibrary();
    WorkflowLibrary(const WorkflowLibrary&) = delete;
    WorkflowLibrary& operator=(const WorkflowLibrary&) = delete;

    Settings& settings() { return *m_settings; }
    std::filesystem::path storeFile() const;
    bool syncEnabled() const;

    // The start-up load: moves a list kept in the old place, gives the default workflows on
    // a first start. What it read becomes the base of reconcile().
    WorkflowLoad load();
    // The stored list as it is now (with synchronisation on, with other machines' changes
    // taken in); nullopt with problem when the store cannot be read.
    std::optional<std::vector<TextActionSeqPtr>> current(std::string* problem = nullptr);
    // By id, else by exact name; nullptr when neither matches or the store cannot be read.
    TextActionSeqPtr find(std::string_view nameOrId, std::string* problem = nullptr);

    struct Edit {
        bool saved = false;
        std::string problem;
        std::vector<std::string> merged;  // taken in from other machines before the change
        std::vector<std::string> changed; // added or modified by the change
        std::vector<std::string> removed; // removed by the change
    };
    Edit edit(const std::function<void(std::vector<TextActionSeqPtr>&)>& change);

    // Adds the workflows of an exchange file with fresh ids. readable is false when the
    // file cannot be read or is not JSON (nothing is changed then).
    Edit importFile(const std::filesystem::path& file, std::vector<TextActionSeqPtr>* imported = nullptr,
                    bool* readable = nullptr);
    Edit remove(const std::string& id, bool* found = nullptr);

    struct Reconciled {
        bool saved = false;
        bool unreadable = false;
        std::string problem;
        std::vector<std::string> added;   // other writers' new workflows, appended
        std::vector<std::string> removed; // deleted by other writers
        std::vector<std::string> updated; // changed by other writers, taken over in place
        std::vector<std::string> local;   // this process's changes that were written
        bool changedList() const { return !added.empty() || !removed.empty() || !updated.empty(); }
    };
    // Brings an in-memory list and the stored one together, per workflow, against the state
    // both last agreed on: a workflow changed only elsewhere takes the stored version (the
    // object stays, its name, icon and actions change), one changed here keeps this
    // version, also when it changed elsewhere too; deletions on either side stay deleted
    // unless the other side changed the workflow since. The merged list is written.
    Reconciled reconcile(std::vector<TextActionSeqPtr>& list);
    // Whether another writer replaced the stored list since this library last read or
    // wrote it. Cheap (one stat), for polling.
    bool changedOnDisk() const;

    // An unreadable store is renamed aside ("group.json.unreadable-2026-12-06-101500") so
    // that the defaults can start afresh; the new path, or nullopt with problem.
    std::optional<std::filesystem::path> setAsideUnreadableStore(std::string* problem = nullptr);

private:
    struct Sync;
    std::unique_ptr<Sync> openSync(std::string* error);
    std::vector<std::string> mergeNewerRecords(Sync& sync, std::vector<TextActionSeqPtr>& list);
    bool pushTo(Sync& sync, const std::vector<TextActionSeqPtr>& list, const std::vector<std::string>& ids,
                std::string* error);
    void remember(const std::vector<TextActionSeqPtr>& list);
    void noteDiskState();

    std::unique_ptr<Settings> m_ownSettings;
    Settings* m_settings;
    Options m_options;
    // The JSON text of every workflow as the stored list last held it: the common ancestor
    // of the in-memory list and the stored one.
    std::map<std::string, std::string> m_base;
    struct DiskState {
        std::int64_t mtime = 0;
        std::uintmax_t size = 0;
        std::uintmax_t inode = 0;
        bool operator==(const DiskState&) const = default;
    };
    DiskState m_seen;
    DiskState diskState() const;
};

} // namespace lexorra
