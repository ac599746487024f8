#pragma once

#include "core/TextActionSeq.h"
#include "core/WorkflowRuns.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct sqlite3;

namespace lexorra {

// One run as the history keeps it.
struct RunRecord {
    std::int64_t id = 0;
    double time = 0; // seconds since 1970
    std::string sequenceId;
    std::string sequenceName;
    SeqType kind = SeqType::action;
    std::string input;
    std::string result;
};

// How much a RunHistory keeps, and when a run replaces the newest entry.
struct RunHistoryLimits {
    size_t runs = 200;
    size_t bytes = 16u << 20; // inputs and results together
    double settleSeconds = 10;
};

// The runs the user chose to keep (off unless asked for): what went in, what ran, what came
// out, in an SQLite file only the user can read. Writes happen on the history's own thread,
// so that keeping a run never holds up the window:
//
//   RunHistory history;                            // $XDG_DATA_HOME/lexorra/history.sqlite3
//   history.record({.sequenceId = seq->id, .sequenceName = seq->name, .input = in, .result = out});
//   for (const auto& run : history.entries()) ...  // newest first
//
// Live results come one per pause in typing; a run of the same sequence a few seconds after
// the newest entry, on an input that is an edit of that entry's, replaces it, so that the
// history holds what the user settled on rather than every keystroke.
class RunHistory {
public:
    using Limits = RunHistoryLimits;
    // Runs with an input over this many bytes are not kept; results are kept up to it.
    static constexpr size_t inputLimit = 1u << 20;
    // How much of an input entries() gives.
    static constexpr size_t previewBytes = 200;

    explicit RunHistory(std::filesystem::path file = defaultPath(), Limits limits = {});
    ~RunHistory(); // writes what is queued first
    RunHistory(const RunHistory&) = delete;
    RunHistory& operator=(const RunHistory&) = delete;

    static std::filesystem::path defaultPath();
    const std::filesystem::path& file() const { return m_file; }

    // Whether a run may be kept at all: not without input or with an input over the limit,
    // and never when an Encryption step takes part, however deep in the workflows it runs
    // (its input is what the user meant to keep secret).
    static bool recordable(const TextActionSeq& seq, std::string_view input, const RunEnvironment::Lookup& lookup);

    // Queues the run; returns at once. A time of 0 is now.
    void record(RunRecord run);
    // The newest runs first, each with the start of its input and without its result.
    std::vector<RunRecord> entries();
    // One run in full.
    std::optional<RunRecord> entry(std::int64_t id);
    // Forgets one run, or every run; the file keeps no trace of their text.
    void remove(std::int64_t id);
    void clear();
    // Waits until everything queued is written; the problem of the last failed write, if any.
    std::string flush();

private:
    void post(std::function<void()> task);
    template <class T> T ask(std::function<T()> task);
    void work();
    // False when the file cannot be opened, or does not exist and `create` is false.
    bool open(bool create = true);
    void write(RunRecord& run);

    std::filesystem::path m_file;
    Limits m_limits;
    sqlite3* m_db = nullptr; // used on the worker only
    std::string m_problem;
    struct Last {
        std::int64_t id = 0;
        double time = 0;
        std::string sequenceId;
        std::string input;
    };
    std::optional<Last> m_last;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_stop = false;
    std::thread m_worker;
};

} // namespace lexorra
