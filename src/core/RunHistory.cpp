#include "core/RunHistory.h"

#include "core/SettingsStore.h"
#include "core/SqliteStatement.h"
#include "text/Utf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>

namespace lexorra {
namespace {

// The small columns first: trimming to the size cap reads `size` of every row, and a column
// after a long text is only reached through the text's overflow pages.
constexpr const char* schema = R"sql(
CREATE TABLE IF NOT EXISTS Run (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    time REAL NOT NULL,
    size INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    sequenceId TEXT NOT NULL,
    sequenceName TEXT NOT NULL,
    input TEXT NOT NULL,
    result TEXT NOT NULL
);
)sql";

using Statement = SqliteStatement;

// Typing, deleting or correcting somewhere in the text keeps most of it at both ends; a
// paste of something else does not.
bool isEditOf(std::string_view before, std::string_view after) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return 2 * (prefix + suffix) >= shorter;
}

double now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

RunHistory::RunHistory(std::filesystem::path file, Limits limits) : m_file(std::move(file)), m_limits(limits) {}

RunHistory::~RunHistory() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) m_worker.join();
    if (m_db) sqlite3_close(m_db);
}

std::filesystem::path RunHistory::defaultPath() {
    return dataFolder() / "history.sqlite3";
}

bool RunHistory::recordable(const TextActionSeq& seq, std::string_view input, const RunEnvironment::Lookup& lookup) {
    if (input.empty() || input.size() > inputLimit) return false;
    auto encrypts = [](const TextActionSeq& s) {
        return std::any_of(s.actionsArray.begin(), s.actionsArray.end(),
                           [](const auto& a) { return a->type == TextActionType::encryption; });
    };
    if (encrypts(seq)) return false;
    for (const auto& id : workflowsUsedBy(seq, lookup))
        if (auto used = lookup(id); used && encrypts(*used)) return false;
    return true;
}

void RunHistory::post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
        if (!m_worker.joinable()) m_worker = std::thread([this] { work(); });
    }
    m_wake.notify_one();
}

template <class T> T RunHistory::ask(std::function<T()> task) {
    std::promise<T> answer;
    auto future = answer.get_future();
    post([&] { answer.set_value(task()); });
    return future.get();
}

void RunHistory::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty()) return; // stopping, and everything is written
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task();
    }
}

bool RunHistory::open(bool create) {
    if (m_db) return true;
    std::error_code ec;
    // Reading or clearing a history that was never kept leaves no file behind.
    if (!create && !std::filesystem::exists(m_file, ec)) return false;
    std::filesystem::create_directories(m_file.parent_path(), ec);
    // Created private before SQLite opens it: the log and its index take the file's mode.
    const int fd = ::open(m_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) ::close(fd);
    ::chmod(m_file.c_str(), 0600);
    if (sqlite3_open_v2(m_file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK ||
        sqlite3_exec(m_db, schema, nullptr, nullptr, nullptr) != SQLITE_OK) {
        m_problem = "\"" + m_file.string() + "\" cannot be opened: " + sqlite3_errmsg(m_db);
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    // Deleted text is overwritten, not left in free pages. A write-ahead log with syncs only at
    // checkpoints: a lost last entry after a power cut is no loss worth two syncs per run
    // (they made a kept run cost 15-30 ms of the history's thread instead of 2-5).
    sqlite3_exec(m_db, "PRAGMA journal_mode = WAL; PRAGMA secure_delete = ON; PRAGMA synchronous = NORMAL", nullptr,
                 nullptr, nullptr);
    return true;
}

void RunHistory::record(RunRecord run) {
    if (run.input.size() > inputLimit) return;
    if (run.result.size() > inputLimit) run.result = std::string(text::utf8Prefix(run.result, inputLimit));
    if (run.time == 0) run.time = now();
    post([this, run = std::move(run)]() mutable { write(run); });
}

void RunHistory::write(RunRecord& run) {
    if (!open()) return;
    const auto size = static_cast<std::int64_t>(run.input.size() + run.result.size());
    const bool settles = m_last && m_last->sequenceId == run.sequenceId &&
                         run.time - m_last->time < m_limits.settleSeconds && isEditOf(m_last->input, run.input);
    sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    bool ok = false;
    if (settles) {
        ok = Statement(m_db, "UPDATE Run SET time = ?1, sequenceName = ?2, input = ?3, result = ?4, size = ?5 "
                             "WHERE id = ?6")
                 .bind(1, run.time)
                 .bind(2, run.sequenceName)
                 .bind(3, run.input)
                 .bind(4, run.result)
                 .bind(5, size)
                 .bind(6, m_last->id)
                 .run();
        run.id = m_last->id;
    } else {
        ok = Statement(m_db, "INSERT INTO Run (time, sequenceId, sequenceName, kind, input, result, size) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
                 .bind(1, run.time)
                 .bind(2, run.sequenceId)
                 .bind(3, run.sequenceName)
                 .bind(4, std::int64_t{static_cast<int>(run.kind)})
                 .bind(5, run.input)
                 .bind(6, run.result)
                 .bind(7, size)
                 .run();
        run.id = sqlite3_last_insert_rowid(m_db);
    }
    // The newest runs, as many as the count and the size allow.
    ok = ok && Statement(m_db, "DELETE FROM Run WHERE id NOT IN (SELECT id FROM Run ORDER BY id DESC LIMIT ?1)")
                   .bind(1, static_cast<std::int64_t>(m_limits.runs))
                   .run();
    ok = ok && Statement(m_db, "DELETE FROM Run WHERE id IN (SELECT id FROM (SELECT id, SUM(size) OVER "
                               "(ORDER BY id DESC) AS total FROM Run) WHERE total > ?1)")
                   .bind(1, static_cast<std::int64_t>(m_limits.bytes))
                   .run();
    if (!ok) {
        m_problem = std::string("a run could not be kept: ") + sqlite3_errmsg(m_db);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return;
    }
    sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    m_last = Last{.id = run.id, .time = run.time, .sequenceId = run.sequenceId, .input = std::move(run.input)};
}

std::vector<RunRecord> RunHistory::entries() {
    return ask<std::vector<RunRecord>>([this] {
        std::vector<RunRecord> runs;
        if (!open(false)) return runs;
        Statement s(m_db, "SELECT id, time, sequenceId, sequenceName, kind, substr(input, 1, ?1) FROM Run "
                          "ORDER BY id DESC");
        s.bind(1, static_cast<std::int64_t>(previewBytes));
        while (s.next())
            runs.push_back({.id = s.integer(0),
                            .time = s.real(1),
                            .sequenceId = s.text(2),
                            .sequenceName = s.text(3),
                            .kind = s.integer(4) == 1 ? SeqType::workFlow : SeqType::action,
                            .input = s.text(5),
                            .result = {}});
        return runs;
    });
}

std::optional<RunRecord> RunHistory::entry(std::int64_t id) {
    return ask<std::optional<RunRecord>>([this, id]() -> std::optional<RunRecord> {
        if (!open(false)) return std::nullopt;
        Statement s(m_db, "SELECT id, time, sequenceId, sequenceName, kind, input, result FROM Run WHERE id = ?1");
        s.bind(1, id);
        if (!s.next()) return std::nullopt;
        return RunRecord{.id = s.integer(0),
                         .time = s.real(1),
                         .sequenceId = s.text(2),
                         .sequenceName = s.text(3),
                         .kind = s.integer(4) == 1 ? SeqType::workFlow : SeqType::action,
                         .input = s.text(5),
                         .result = s.text(6)};
    });
}

void RunHistory::remove(std::int64_t id) {
    post([this, id] {
        if (m_last && m_last->id == id) m_last.reset();
        if (!open(false)) return;
        // Deleted pages are zeroed (secure_delete); the log's copies go with the checkpoint.
        if (Statement(m_db, "DELETE FROM Run WHERE id = ?1").bind(1, id).run())
            sqlite3_exec(m_db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    });
}

void RunHistory::clear() {
    post([this] {
        m_last.reset();
        if (!open(false)) return;
        // The log holds the deleted pages until it is checkpointed and emptied.
        sqlite3_exec(m_db, "DELETE FROM Run; VACUUM; PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    });
}

std::string RunHistory::flush() {
    return ask<std::string>([this] { return m_problem; });
}

} // namespace lexorra
