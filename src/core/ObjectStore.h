#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace lexorra {

// One workflow as a record of the object store. modified and machineId are not shown to
// the user; they decide which copy wins when machines edited the same record.
struct WorkflowRecord {
    std::string id;
    std::string name;        // the workflow's name when the record was created
    double date = 0;         // creation time, seconds since 1970; the records are ordered by it
    std::string jsonString;  // the workflow JSON text
    bool hidden = false;     // a deleted workflow: a tombstone that synchronises too
    std::string descriptionText;
    std::int64_t flag = 0;
    std::int64_t index = 0;
    std::int64_t modified = 0;  // last change, milliseconds since 1970
    std::string machineId;      // the machine that made the last change

    friend bool operator==(const WorkflowRecord&, const WorkflowRecord&) = default;
};

enum class ChangeAuthor { local, remote };

// One committed transaction, as observers and the history table see it.
struct StoreChange {
    std::int64_t transaction = 0;
    ChangeAuthor author = ChangeAuthor::local;
    std::vector<std::string> ids;
};

struct HistoryEntry {
    std::int64_t transaction = 0;
    double timestamp = 0;
    ChangeAuthor author = ChangeAuthor::local;
    std::string machineId;
    std::vector<std::string> ids;
};

// The object store of the workflows: SQLite in WAL mode (the app, the command line and
// the intents service may have it open at once), with a history table that records every
// transaction and whether it came from this machine or from another one.
//
// Edits collect in a context until save(), as the results controller does one pass over
// the list and then saves once:
//
//   std::string error;
//   auto store = ObjectStore::open(ObjectStore::defaultPath(), machineId(), &error);
//   if (!store) diagnostic(error);   // "Unresolved error ..."; go on without it
//   store->insert({.id = seq->id, .name = seq->name, .jsonString = seq->jsonString()});
//   store->save();
class ObjectStore {
public:
    // The path for a store that lives in memory only (previews, tests).
    static constexpr std::string_view inMemoryPath = "/dev/null";
    static std::filesystem::path defaultPath();

    // Opens or creates the store; nullptr with error set to "Unresolved error " followed by
    // the description, ", " and the details when it cannot be opened.
    static std::unique_ptr<ObjectStore> open(const std::filesystem::path& file, std::string machineId,
                                             std::string* error = nullptr);
    ~ObjectStore();
    ObjectStore(const ObjectStore&) = delete;
    ObjectStore& operator=(const ObjectStore&) = delete;

    const std::string& machineId() const { return m_machineId; }

    // Saved records with unsaved edits laid over them.
    std::vector<WorkflowRecord> fetch(std::string_view id) const;
    // Every record, hidden ones included, ordered by date ascending.
    std::vector<WorkflowRecord> records() const;

    // Context edits. Both stamp modified (strictly later than the record's last change) and
    // this machine's id; date defaults to now for a new record.
    void insert(WorkflowRecord record);
    void update(WorkflowRecord record);
    bool hasChanges() const { return !m_pending.empty(); }
    void rollback() { m_pending.clear(); }
    // Commits the context in one transaction recorded as local; does nothing without
    // changes. False with error ("Unresolved error ...") when the commit fails.
    bool save(std::string* error = nullptr);

    // Writes records that arrived from another machine as they are, in one transaction
    // recorded as remote.
    bool applyRemote(const std::vector<WorkflowRecord>& records, std::string* error = nullptr);

    std::vector<HistoryEntry> history(std::int64_t afterTransaction = 0) const;

    // Called after every committed transaction, local or remote, and when another process
    // committed to the same file (refresh()).
    using Observer = std::function<void(const StoreChange&)>;
    int addObserver(Observer observer);
    void removeObserver(int token);
    // Notices commits made by other connections to the same file; true when there were.
    bool refresh();

private:
    ObjectStore(sqlite3* db, std::string machineId);
    bool commit(const std::vector<WorkflowRecord>& records, ChangeAuthor author, std::string* error);
    void notify(const StoreChange& change);
    std::int64_t dataVersion() const;

    sqlite3* m_db;
    std::string m_machineId;
    std::map<std::string, WorkflowRecord> m_pending;
    std::map<int, Observer> m_observers;
    int m_nextObserver = 1;
    std::int64_t m_dataVersion = 0;
};

// The live, date-ordered list of records with a change callback, the shape in which the
// results controller consumes the store.
//
//   FetchedWorkflowRecords fetched(*store);
//   fetched.setDelegate([&] { appManager.controllerDidChangeContent(); });
//   fetched.performFetch();
class FetchedWorkflowRecords {
public:
    explicit FetchedWorkflowRecords(ObjectStore& store);
    ~FetchedWorkflowRecords();
    FetchedWorkflowRecords(const FetchedWorkflowRecords&) = delete;
    FetchedWorkflowRecords& operator=(const FetchedWorkflowRecords&) = delete;

    void performFetch();
    const std::vector<WorkflowRecord>& fetchedObjects() const { return m_records; }
    // The callback runs after the list was refetched; nullptr drops it.
    void setDelegate(std::function<void()> controllerDidChangeContent);

private:
    ObjectStore& m_store;
    int m_token;
    std::vector<WorkflowRecord> m_records;
    std::function<void()> m_delegate;
};

// Milliseconds since 1970 from the system clock.
std::int64_t currentTimeMillis();

// This installation's id, kept in the data folder: tells the sync folder which copies
// this machine wrote.
std::string localMachineId();

} // namespace lexorra
