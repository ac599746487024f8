#include "core/ObjectStore.h"

#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/SettingsStore.h"
#include "core/SqliteStatement.h"
#include "core/Uuid.h"
#include "core/Value.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <set>

namespace lexorra {
namespace {

constexpr const char* schema = R"sql(
CREATE TABLE IF NOT EXISTS WorkflowEntity (
    id TEXT NOT NULL PRIMARY KEY,
    name TEXT NOT NULL DEFAULT '',
    date REAL NOT NULL DEFAULT 0,
    jsonString TEXT NOT NULL DEFAULT '',
    hidden INTEGER NOT NULL DEFAULT 0,
    descriptionText TEXT NOT NULL DEFAULT '',
    flag INTEGER NOT NULL DEFAULT 0,
    "index" INTEGER NOT NULL DEFAULT 0,
    modified INTEGER NOT NULL DEFAULT 0,
    machineId TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS WorkflowEntityDate ON WorkflowEntity(date);
CREATE TABLE IF NOT EXISTS History (
    transactionNumber INTEGER PRIMARY KEY AUTOINCREMENT,
    timestamp REAL NOT NULL,
    author TEXT NOT NULL,
    machineId TEXT NOT NULL,
    changes TEXT NOT NULL
);
)sql";

constexpr const char* selectColumns =
    "SELECT id, name, date, jsonString, hidden, descriptionText, flag, \"index\", modified, machineId "
    "FROM WorkflowEntity";

std::string unresolved(sqlite3* db, int code, std::string_view where) {
    std::string details = db ? sqlite3_errmsg(db) : "no database connection";
    return "Unresolved error " + std::string(sqlite3_errstr(code)) + ", " + details + " (" + std::string(where) + ")";
}

using Statement = SqliteStatement;

WorkflowRecord readRecord(const Statement& s) {
    WorkflowRecord r;
    r.id = s.text(0);
    r.name = s.text(1);
    r.date = s.real(2);
    r.jsonString = s.text(3);
    r.hidden = s.integer(4) != 0;
    r.descriptionText = s.text(5);
    r.flag = s.integer(6);
    r.index = s.integer(7);
    r.modified = s.integer(8);
    r.machineId = s.text(9);
    return r;
}

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void sortByDate(std::vector<WorkflowRecord>& records) {
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.date != b.date ? a.date < b.date : a.id < b.id; });
}

} // namespace

std::int64_t currentTimeMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string localMachineId() {
    const auto file = dataFolder() / "machine-id";
    if (auto text = readWholeFile(file); text && !text->empty()) {
        std::string id = *text;
        while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
            id.pop_back();
        if (!id.empty()) return id;
    }
    std::string id = makeUuid();
    AtomicFile::write(file, id + "\n");
    return id;
}

std::filesystem::path ObjectStore::defaultPath() {
    return dataFolder() / "workflows.sqlite";
}

ObjectStore::ObjectStore(sqlite3* db, std::string machineId) : m_db(db), m_machineId(std::move(machineId)) {
    m_dataVersion = dataVersion();
}

ObjectStore::~ObjectStore() {
    sqlite3_close_v2(m_db);
}

std::unique_ptr<ObjectStore> ObjectStore::open(const std::filesystem::path& file, std::string machineId,
                                               std::string* error) {
    const bool inMemory = file == inMemoryPath;
    if (!inMemory && !file.parent_path().empty()) {
        // A folder made here is the user's alone, like the ones the settings files get.
        std::error_code ec;
        if (!std::filesystem::is_directory(file.parent_path(), ec) &&
            std::filesystem::create_directories(file.parent_path(), ec))
            std::filesystem::permissions(file.parent_path(), std::filesystem::perms::owner_all, ec);
    }
    const std::string name = inMemory ? ":memory:" : file.string();
    if (!inMemory) {
        // Created owner-only before SQLite sees it: the records are the user's workflows.
        // SQLite gives the -wal and -shm files the mode of the database file.
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd >= 0) ::close(fd);
    }
    sqlite3* db = nullptr;
    int code =
        sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    auto failed = [&](std::string_view where) {
        if (error) *error = unresolved(db, code, where);
        sqlite3_close_v2(db);
        return nullptr;
    };
    if (code != SQLITE_OK) return failed(name);
    if (!inMemory) ::chmod(name.c_str(), 0600);
    sqlite3_busy_timeout(db, 5000);
    // A damaged file is reported and left as it is: switching the journal mode or creating
    // the tables would write into it.
    if (!inMemory) {
        Statement check(db, "PRAGMA quick_check");
        code = check.ok() ? check.step() : check.code();
        if (code != SQLITE_ROW) return failed("integrity check");
        if (check.text(0) != "ok") {
            code = SQLITE_CORRUPT;
            return failed("integrity check: " + check.text(0));
        }
    }
    // WAL lets readers in other processes go on while one writes, and a crash never
    // leaves a half-applied transaction behind.
    if (!inMemory && (code = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr)) != SQLITE_OK)
        return failed("journal mode");
    if ((code = sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr)) != SQLITE_OK)
        return failed("synchronous");
    if ((code = sqlite3_exec(db, schema, nullptr, nullptr, nullptr)) != SQLITE_OK) return failed("schema");
    return std::unique_ptr<ObjectStore>(new ObjectStore(db, std::move(machineId)));
}

std::vector<WorkflowRecord> ObjectStore::fetch(std::string_view id) const {
    if (auto it = m_pending.find(std::string(id)); it != m_pending.end()) return {it->second};
    std::vector<WorkflowRecord> found;
    Statement s(m_db, (std::string(selectColumns) + " WHERE id = ?1").c_str());
    if (!s.ok()) return found;
    s.bind(1, id);
    while (s.step() == SQLITE_ROW)
        found.push_back(readRecord(s));
    return found;
}

std::vector<WorkflowRecord> ObjectStore::records() const {
    std::vector<WorkflowRecord> all;
    Statement s(m_db, selectColumns);
    if (s.ok())
        while (s.step() == SQLITE_ROW) {
            auto record = readRecord(s);
            if (m_pending.count(record.id) == 0) all.push_back(std::move(record));
        }
    for (const auto& [id, record] : m_pending)
        all.push_back(record);
    sortByDate(all);
    return all;
}

void ObjectStore::insert(WorkflowRecord record) {
    if (record.date == 0) record.date = nowSeconds();
    update(std::move(record));
}

void ObjectStore::update(WorkflowRecord record) {
    std::int64_t previous = 0;
    if (auto existing = fetch(record.id); !existing.empty()) previous = existing.front().modified;
    record.modified = std::max(currentTimeMillis(), previous + 1);
    record.machineId = m_machineId;
    m_pending[record.id] = std::move(record);
}

bool ObjectStore::save(std::string* error) {
    if (m_pending.empty()) return true;
    std::vector<WorkflowRecord> records;
    for (auto& [id, record] : m_pending)
        records.push_back(record);
    if (!commit(records, ChangeAuthor::local, error)) return false;
    m_pending.clear();
    return true;
}

bool ObjectStore::applyRemote(const std::vector<WorkflowRecord>& records, std::string* error) {
    if (records.empty()) return true;
    for (const auto& r : records)
        m_pending.erase(r.id);
    return commit(records, ChangeAuthor::remote, error);
}

bool ObjectStore::commit(const std::vector<WorkflowRecord>& records, ChangeAuthor author, std::string* error) {
    int code = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        if (error) *error = unresolved(m_db, code, "begin");
        return false;
    }
    auto abort = [&](std::string_view where) {
        if (error) *error = unresolved(m_db, code, where);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    ValueList changed;
    StoreChange change{.author = author};
    for (const auto& r : records) {
        Statement s(m_db, "INSERT INTO WorkflowEntity (id, name, date, jsonString, hidden, descriptionText, flag, "
                          "\"index\", modified, machineId) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) "
                          "ON CONFLICT(id) DO UPDATE SET name = ?2, date = ?3, jsonString = ?4, hidden = ?5, "
                          "descriptionText = ?6, flag = ?7, \"index\" = ?8, modified = ?9, machineId = ?10");
        s.bind(1, r.id);
        s.bind(2, r.name);
        s.bind(3, r.date);
        s.bind(4, r.jsonString);
        s.bind(5, std::int64_t{r.hidden ? 1 : 0});
        s.bind(6, r.descriptionText);
        s.bind(7, r.flag);
        s.bind(8, r.index);
        s.bind(9, r.modified);
        s.bind(10, r.machineId);
        if ((code = s.step()) != SQLITE_DONE) return abort("write");
        changed.push_back(Value(r.id));
        change.ids.push_back(r.id);
    }
    Statement history(m_db, "INSERT INTO History (timestamp, author, machineId, changes) VALUES (?1, ?2, ?3, ?4)");
    history.bind(1, nowSeconds());
    history.bind(2, std::string_view(author == ChangeAuthor::local ? "local" : "remote"));
    history.bind(3, author == ChangeAuthor::local ? std::string_view(m_machineId)
                                                  : std::string_view(records.front().machineId));
    history.bind(4, json::write(Value(std::move(changed))));
    if ((code = history.step()) != SQLITE_DONE) return abort("history");
    change.transaction = sqlite3_last_insert_rowid(m_db);
    if ((code = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr)) != SQLITE_OK) return abort("commit");
    m_dataVersion = dataVersion();
    notify(change);
    return true;
}

std::vector<HistoryEntry> ObjectStore::history(std::int64_t afterTransaction) const {
    std::vector<HistoryEntry> entries;
    Statement s(m_db, "SELECT transactionNumber, timestamp, author, machineId, changes FROM History "
                      "WHERE transactionNumber > ?1 ORDER BY transactionNumber");
    if (!s.ok()) return entries;
    s.bind(1, afterTransaction);
    while (s.step() == SQLITE_ROW) {
        HistoryEntry e;
        e.transaction = s.integer(0);
        e.timestamp = s.real(1);
        e.author = s.text(2) == "remote" ? ChangeAuthor::remote : ChangeAuthor::local;
        e.machineId = s.text(3);
        if (auto ids = json::parse(s.text(4)); ids && ids->isList())
            for (const auto& id : ids->asList())
                if (id.isString()) e.ids.push_back(id.asString());
        entries.push_back(std::move(e));
    }
    return entries;
}

int ObjectStore::addObserver(Observer observer) {
    m_observers.emplace(m_nextObserver, std::move(observer));
    return m_nextObserver++;
}

void ObjectStore::removeObserver(int token) {
    m_observers.erase(token);
}

void ObjectStore::notify(const StoreChange& change) {
    // Observers may add or remove observers while being told.
    std::vector<int> tokens;
    for (const auto& [token, observer] : m_observers)
        tokens.push_back(token);
    for (int token : tokens)
        if (auto it = m_observers.find(token); it != m_observers.end()) {
            auto observer = it->second;
            observer(change);
        }
}

std::int64_t ObjectStore::dataVersion() const {
    Statement s(m_db, "PRAGMA data_version");
    return s.ok() && s.step() == SQLITE_ROW ? s.integer(0) : 0;
}

bool ObjectStore::refresh() {
    const std::int64_t version = dataVersion();
    if (version == m_dataVersion) return false;
    m_dataVersion = version;
    notify({.author = ChangeAuthor::remote});
    return true;
}

FetchedWorkflowRecords::FetchedWorkflowRecords(ObjectStore& store) : m_store(store) {
    m_token = m_store.addObserver([this](const StoreChange&) {
        performFetch();
        if (m_delegate) m_delegate();
    });
}

FetchedWorkflowRecords::~FetchedWorkflowRecords() {
    m_store.removeObserver(m_token);
}

void FetchedWorkflowRecords::performFetch() {
    m_records = m_store.records();
}

void FetchedWorkflowRecords::setDelegate(std::function<void()> controllerDidChangeContent) {
    m_delegate = std::move(controllerDidChangeContent);
}

} // namespace lexorra
