// Writers killed at random moments: the group store, the object store and the sync folder
// must each reopen and hold either the list before the interrupted save or the one after
// it, never a mix, a truncated file or nothing. Stores that are already damaged are
// reported and left as they are.
#include "core/ActionFactory.h"
#include "core/AtomicFile.h"
#include "core/Json.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "core/TextActionSeq.h"
#include "core/WorkflowMirror.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

using Clock = std::chrono::steady_clock;

// Two versions of the same workflows (same ids): every save switches between them, so a
// store that mixes them shows a save applied in part.
struct TwoLists {
    std::vector<TextActionSeqPtr> lists[2];
    Value dictionaries[2];

    explicit TwoLists(int count = 12) {
        for (int i = 0; i < count; ++i) {
            for (int version = 0; version < 2; ++version) {
                auto seq =
                    std::make_shared<TextActionSeq>("flow " + std::to_string(i) + " v" + std::to_string(version));
                seq->id = "00000000-0000-4000-8000-0000000000" + std::to_string(10 + i);
                auto action = makeDefault(TextActionType::replaceString);
                action->setOption("ReplaceString", Value("find " + std::to_string(i)));
                action->setOption("WithString",
                                  Value(std::string(200 + 50 * version, 'a' + static_cast<char>(version))));
                seq->actionsArray.push_back(action);
                lists[version].push_back(seq);
            }
        }
        for (int version = 0; version < 2; ++version) {
            ValueList out;
            for (const auto& seq : lists[version])
                out.push_back(seq->toDictionary(false));
            dictionaries[version] = Value(std::move(out));
        }
    }

    int count() const { return static_cast<int>(lists[0].size()); }

    // Which version the records are, or -1 for a mix or anything else.
    int versionOf(const std::vector<WorkflowRecord>& records) const {
        std::multiset<std::string> found;
        for (const auto& r : records)
            found.insert(r.jsonString);
        for (int version = 0; version < 2; ++version) {
            std::multiset<std::string> expected;
            for (const auto& seq : lists[version])
                expected.insert(seq->jsonString());
            if (found == expected) return version;
        }
        return -1;
    }

    // Which version one workflow's text is, or -1.
    int versionOf(int index, const std::string& jsonText) const {
        for (int version = 0; version < 2; ++version)
            if (lists[version][static_cast<size_t>(index)]->jsonString() == jsonText) return version;
        return -1;
    }
};

// A kill keeps everything the writer had handed to the kernel: what these tests check is
// that no file is ever seen half-written or half-committed, which the page cache decides,
// not the disk. On a memory file system the flushes each save makes cost nothing, so five
// hundred kills take seconds instead of minutes.
class MemoryBackedTemporaryFolder {
public:
    MemoryBackedTemporaryFolder() {
        if (const char* old = std::getenv("TMPDIR")) m_old = old;
        if (::access("/dev/shm", W_OK | X_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    }
    ~MemoryBackedTemporaryFolder() {
        if (m_old)
            ::setenv("TMPDIR", m_old->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> m_old;
};

// How long each kill test may take; LEXORRA_KILL_SECONDS lengthens it for a full campaign on
// a busy machine.
const std::chrono::seconds killBudget{[] {
    const char* text = std::getenv("LEXORRA_KILL_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 15;
}()};
constexpr int minimumKills = 50;

// Forks a writer that prepares itself, tells the parent, then calls write(n) for
// n = 0, 1, ... until it is killed, telling the parent after each save. The parent lets
// zero to two saves complete, then kills the writer at a random moment within about one
// save's time, reaps it and runs check(round, seen) on what it left behind, which counts in
// seen[v] what it found in version v; a fatal failure there ends the rounds, and so do 500
// kills or the time budget (a fork of this process and a save cost tens of milliseconds
// under the sanitizers on a busy machine). Saves take milliseconds (two fsyncs), so fixed
// delays would either never land inside one or make the test take minutes. Every round
// must end in a kill, and kills must land on both sides of a save, or the test proved nothing.
void killWriterRepeatedly(const char* what, unsigned seed, const std::function<void()>& prepare,
                          const std::function<void(std::int64_t)>& write,
                          const std::function<void(int, int (&)[2])>& check) {
    int rounds = 0, kills = 0, seen[2] = {0, 0};
    double saveSeconds = 0; // one save, measured in the first round
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> savesFirst(0, 1);
    std::uniform_int_distribution<int> delayFraction(0, 1500);
    const auto started = Clock::now();
    for (int round = 0; round < 500 && Clock::now() - started < killBudget; ++round) {
        ++rounds;
        int progress[2];
        if (::pipe(progress) != 0) {
            ADD_FAILURE() << "pipe";
            break;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(progress[0]);
            ::fcntl(progress[1], F_SETFL, O_NONBLOCK);
            prepare();
            for (std::int64_t n = 0;; ++n) {
                [[maybe_unused]] const auto told = ::write(progress[1], "s", 1);
                write(n);
            }
        }
        ::close(progress[1]);
        // The first byte says the writer is ready; each further one that a save completed.
        // The first round lets six saves through and times them.
        bool writing = true;
        const int waitFor = round == 0 ? 7 : 1 + savesFirst(random);
        Clock::time_point firstSave;
        for (int i = 0; i < waitFor && writing; ++i) {
            char byte = 0;
            writing = ::read(progress[0], &byte, 1) == 1;
            if (i == 0) firstSave = Clock::now();
        }
        if (round == 0) saveSeconds = std::chrono::duration<double>(Clock::now() - firstSave).count() / 6;
        if (writing) ::usleep(static_cast<useconds_t>(saveSeconds * 1e3 * delayFraction(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(progress[0]);
        if (!writing || !WIFSIGNALED(status)) {
            ADD_FAILURE() << "round " << round << ": the writer ended on its own, status " << status;
            break;
        }
        ++kills;
        check(round, seen);
        if (::testing::Test::HasFatalFailure()) break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_GE(kills, minimumKills);
    EXPECT_EQ(kills, rounds);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    std::printf("%s: %d kills in %.1f s (a save %.1f ms), old/new %d/%d\n", what, kills, seconds, saveSeconds * 1000,
                seen[0], seen[1]);
}

std::string integrityCheck(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return result;
}

} // namespace

TEST(CrashSafety, GroupStoreHoldsTheOldOrTheNewListWhenItsWriterIsKilled) {
    // On disk, not in memory: a save of this small file is mostly serialisation, and only
    // the flushes keep its temporary file around long enough for kills to land inside the
    // write (in memory about one kill in a hundred did, too few to count on).
    TemporaryXdgHome home;
    const TwoLists lists;
    const auto file = home.groupFile();
    {
        SettingsStore seed(file);
        ASSERT_TRUE(seed.setValue("SavedWorkFlows", lists.dictionaries[0]));
    }
    std::unique_ptr<SettingsStore> store;
    int interruptedWrites = 0;
    killWriterRepeatedly(
        "group store", 12345, [&] { store = std::make_unique<SettingsStore>(file); },
        [&](std::int64_t n) { store->setValue("SavedWorkFlows", lists.dictionaries[static_cast<int>(n % 2)]); },
        [&](int round, int(&seen)[2]) {
            interruptedWrites += filesStartingWith(file.parent_path(), AtomicFile::temporaryPrefix(file)) > 0 ? 1 : 0;
            auto parsed = json::parse(readFile(file));
            ASSERT_TRUE(parsed && parsed->isMap()) << "round " << round;
            const Value* saved = parsed->get("SavedWorkFlows");
            ASSERT_TRUE(saved) << "round " << round;
            if (*saved == lists.dictionaries[0])
                ++seen[0];
            else if (*saved == lists.dictionaries[1])
                ++seen[1];
            else
                FAIL() << "round " << round << ": neither list";
        });
    EXPECT_GT(interruptedWrites, 0) << "no kill landed in the middle of a write";
    // The next writer clears what the killed ones left behind.
    SettingsStore next(file);
    ASSERT_TRUE(next.setValue("SavedWorkFlows", lists.dictionaries[0]));
    EXPECT_EQ(filesStartingWith(file.parent_path(), AtomicFile::temporaryPrefix(file)), 0);
}

TEST(CrashSafety, ObjectStoreHoldsTheOldOrTheNewListWhenItsWriterIsKilled) {
    const MemoryBackedTemporaryFolder memory;
    TemporaryXdgHome home;
    const TwoLists lists;
    const auto file = home.data() / "workflows.sqlite";
    {
        auto seed = ObjectStore::open(file, "seed");
        ASSERT_TRUE(seed);
        ASSERT_TRUE(pushWorkflowsToStore(*seed, lists.lists[0]));
    }
    std::unique_ptr<ObjectStore> store;
    killWriterRepeatedly(
        "object store", 777, [&] { store = ObjectStore::open(file, "writer"); },
        [&](std::int64_t n) { pushWorkflowsToStore(*store, lists.lists[n % 2]); },
        [&](int round, int(&seen)[2]) {
            std::string error;
            auto reopened = ObjectStore::open(file, "reader", &error);
            ASSERT_TRUE(reopened) << "round " << round << ": " << error;
            const auto records = reopened->records();
            const int version = lists.versionOf(records);
            ASSERT_NE(version, -1) << "round " << round << ": " << records.size() << " records, a mix or damaged";
            ++seen[version];
            reopened.reset();
            ASSERT_EQ(integrityCheck(file), "ok") << "round " << round;
        });
}

TEST(CrashSafety, SyncFolderRecordsAreWholeWhenTheirWriterIsKilled) {
    const MemoryBackedTemporaryFolder memory;
    TemporaryXdgHome home;
    // Each record is a file and a save writes them all: few records keep a save short.
    const TwoLists lists(4);
    const auto file = home.data() / "workflows.sqlite";
    const auto folder = home.root / "sync";
    std::filesystem::create_directories(folder);
    {
        auto seed = ObjectStore::open(file, "seed");
        ASSERT_TRUE(seed);
        SyncFolder sync(*seed, folder);
        ASSERT_TRUE(pushWorkflowsToStore(*seed, lists.lists[0]));
        ASSERT_EQ(sync.exportAll(), 0); // the commit has written them already
    }
    std::unique_ptr<ObjectStore> store;
    std::unique_ptr<SyncFolder> sync;
    int mixedRounds = 0;
    killWriterRepeatedly(
        "sync folder", 4242,
        [&] {
            store = ObjectStore::open(file, "writer");
            sync = std::make_unique<SyncFolder>(*store, folder);
        },
        [&](std::int64_t n) { pushWorkflowsToStore(*store, lists.lists[n % 2]); },
        [&](int round, int(&seen)[2]) {
            // Each record is a file of its own: each holds one version whole; together they
            // may come from different saves.
            auto reader = ObjectStore::open(std::filesystem::path(ObjectStore::inMemoryPath), "reader");
            ASSERT_TRUE(reader);
            SyncFolder view(*reader, folder);
            std::set<int> versions;
            for (int i = 0; i < lists.count(); ++i) {
                const auto path = view.fileFor(lists.lists[0][static_cast<size_t>(i)]->id);
                const auto record = syncRecordIn(path);
                ASSERT_TRUE(record) << "round " << round << ": " << path;
                const int version = lists.versionOf(i, record->jsonString);
                ASSERT_NE(version, -1) << "round " << round << ": " << path;
                versions.insert(version);
                ++seen[version];
            }
            mixedRounds += versions.size() > 1 ? 1 : 0;
            // Nothing else in the folder looks like a record: leftovers of the killed writer
            // are not read.
            const auto scan = view.scanNow();
            ASSERT_EQ(scan.skipped, 0) << "round " << round;
            ASSERT_EQ(scan.imported, lists.count()) << "round " << round;
        });
    // Kills between the files of one save leave records of two saves side by side.
    EXPECT_GT(mixedRounds, 0);

    // The writer's store may be a save ahead of the folder; the next start brings the folder
    // up to the store.
    std::string error;
    auto restarted = ObjectStore::open(file, "writer", &error);
    ASSERT_TRUE(restarted) << error;
    SyncFolder resumed(*restarted, folder);
    resumed.scanNow();
    const int version = lists.versionOf(restarted->records());
    ASSERT_NE(version, -1);
    for (const auto& record : restarted->records())
        EXPECT_EQ(syncRecordIn(resumed.fileFor(record.id)), record);
}

TEST(CrashSafety, DamagedObjectStoreIsReportedAndLeftAsItIs) {
    TemporaryXdgHome home;
    const TwoLists lists;
    const auto good = home.data() / "good.sqlite";
    {
        auto store = ObjectStore::open(good, "m");
        ASSERT_TRUE(store);
        ASSERT_TRUE(pushWorkflowsToStore(*store, lists.lists[0]));
    }
    const std::string goodBytes = readFile(good);
    ASSERT_GT(goodBytes.size(), 8192u);

    std::string damagedPages = goodBytes;
    for (size_t i = 4096; i < damagedPages.size(); ++i)
        damagedPages[i] = static_cast<char>(i * 7);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"garbage", std::string(8192, 'x')},
        {"header only", goodBytes.substr(0, 100)},
        {"pages after the first overwritten", damagedPages},
    };
    for (const auto& c : cases) {
        const auto file = home.data() / (std::string(c.name) + ".sqlite");
        writeFile(file, c.bytes);
        std::string error;
        EXPECT_FALSE(ObjectStore::open(file, "m", &error)) << c.name;
        EXPECT_EQ(error.rfind("Unresolved error ", 0), 0u) << c.name << ": " << error;
        EXPECT_EQ(readFile(file), c.bytes) << c.name;
    }
}

TEST(CrashSafety, DamagedSyncRecordIsNeverOverwritten) {
    TemporaryXdgHome home;
    const TwoLists lists;
    auto store = ObjectStore::open(home.data() / "workflows.sqlite", "m");
    ASSERT_TRUE(store);
    const auto folder = home.root / "sync";
    SyncFolder sync(*store, folder);
    ASSERT_TRUE(pushWorkflowsToStore(*store, lists.lists[0]));
    const auto damaged = sync.fileFor(lists.lists[0][3]->id);
    const std::string half = readFile(damaged).substr(0, 40);
    writeFile(damaged, half);

    // A scan, a full export and a new save of that very record all leave it alone.
    const auto scan = sync.scanNow();
    EXPECT_EQ(scan.skipped, 1);
    EXPECT_EQ(readFile(damaged), half);
    sync.exportAll();
    EXPECT_EQ(readFile(damaged), half);
    ASSERT_TRUE(pushWorkflowsToStore(*store, lists.lists[1]));
    EXPECT_EQ(readFile(damaged), half);
    // The other records went on synchronising.
    auto record = syncRecordIn(sync.fileFor(lists.lists[1][4]->id));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->jsonString, lists.lists[1][4]->jsonString());
    // Once the damaged file is gone, the record is written again.
    std::filesystem::remove(damaged);
    sync.scanNow();
    record = syncRecordIn(damaged);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->jsonString, lists.lists[1][3]->jsonString());
}
