#include "core/SyncFolder.h"
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/ManualScheduler.h"
#include "core/WorkflowDocuments.h"
#include "core/WorkflowMirror.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

// One installation: its own data folder and store, the shared sync folder, a workflow
// list that follows the store through the change callback as the results controller does.
struct Machine {
    Machine(const std::filesystem::path& dataFolder, const std::filesystem::path& syncFolder, std::string id) {
        std::string error;
        store = ObjectStore::open(dataFolder / "workflows.sqlite", std::move(id), &error);
        EXPECT_TRUE(store) << error;
        sync = std::make_unique<SyncFolder>(*store, syncFolder);
        fetched = std::make_unique<FetchedWorkflowRecords>(*store);
        fetched->setDelegate([this] {
            ++callbacks;
            mergeRecordsIntoList(fetched->fetchedObjects(), list);
        });
        fetched->performFetch();
    }
    void push() { pushWorkflowsToStore(*store, list); }
    SyncFolder::ScanResult pull() { return sync->scanNow(); }
    TextActionSeqPtr find(const std::string& id) const { return findWorkflow(list, id, {}); }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : list)
            out.push_back(s->jsonString());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::unique_ptr<ObjectStore> store;
    std::unique_ptr<SyncFolder> sync;
    std::unique_ptr<FetchedWorkflowRecords> fetched;
    std::vector<TextActionSeqPtr> list;
    int callbacks = 0;
};

class SyncFolderTest : public ::testing::Test {
protected:
    TemporaryXdgHome homeA;
    TemporaryXdgHome homeB;
    std::filesystem::path shared = homeA.root / "Sync" / "lexorra";
    Machine a{homeA.data() / "lexorra", shared, "machine-a"};
    Machine b{homeB.data() / "lexorra", shared, "machine-b"};

    size_t jsonFiles() const {
        size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(shared))
            n += e.path().extension() == ".json";
        return n;
    }
};

} // namespace

TEST_F(SyncFolderTest, LocalCommitsAreWrittenAsOneFilePerRecord) {
    auto seq = replaceWorkflow("One", "a", "b");
    a.list = {seq};
    a.push();
    const auto file = a.sync->fileFor(seq->id);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(jsonFiles(), 1u);
    auto parsed = json::parse(readFile(file));
    ASSERT_TRUE(parsed);
    for (const char* key : {"id", "name", "date", "jsonString", "hidden", "modified", "machineId"})
        EXPECT_TRUE(parsed->contains(key)) << key;
    EXPECT_EQ(*parsed->get("jsonString"), Value(seq->jsonString()));
    EXPECT_EQ(*parsed->get("machineId"), Value("machine-a"));
    auto record = SyncFolder::recordFromValue(*parsed);
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, a.store->fetch(seq->id)[0]);
}

TEST_F(SyncFolderTest, TwoMachinesConvergeAfterEditsDeletesAndRenamesOnEitherSide) {
    auto one = replaceWorkflow("One", "a", "b");
    auto two = replaceWorkflow("Two", "c", "d");
    auto three = replaceWorkflow("Three", "e", "f");
    a.list = {one, two, three};
    a.push();

    auto result = b.pull();
    EXPECT_EQ(result.imported, 3);
    EXPECT_EQ(b.callbacks, 1);
    EXPECT_EQ(b.texts(), a.texts());
    EXPECT_TRUE(b.find(one->id)->allowToEdit);
    // Imported changes are the other machine's transactions.
    ASSERT_EQ(b.store->history().size(), 1u);
    EXPECT_EQ(b.store->history()[0].author, ChangeAuthor::remote);
    EXPECT_EQ(b.store->history()[0].machineId, "machine-a");

    // An edit on B reaches A.
    b.find(one->id)->actionsArray[0]->setOption("WithString", Value("B was here"));
    b.push();
    EXPECT_EQ(a.pull().imported, 1);
    EXPECT_EQ(a.find(one->id)->run("a"), "B was here");
    EXPECT_EQ(a.texts(), b.texts());

    // A rename on A reaches B.
    a.find(two->id)->name = "Two renamed";
    a.push();
    b.pull();
    EXPECT_EQ(b.find(two->id)->name, "Two renamed");
    EXPECT_EQ(a.texts(), b.texts());

    // A delete on B reaches A.
    std::erase_if(b.list, [&](const auto& s) { return s->id == three->id; });
    ASSERT_TRUE(hideWorkflowRecord(*b.store, three->id));
    a.pull();
    EXPECT_EQ(a.find(three->id), nullptr);
    EXPECT_EQ(a.texts(), b.texts());

    // A rename on B and a delete on A, then both pull.
    b.find(one->id)->name = "One renamed on B";
    b.push();
    std::erase_if(a.list, [&](const auto& s) { return s->id == two->id; });
    ASSERT_TRUE(hideWorkflowRecord(*a.store, two->id));
    a.pull();
    b.pull();
    EXPECT_EQ(a.find(one->id)->name, "One renamed on B");
    EXPECT_EQ(b.find(two->id), nullptr);
    EXPECT_EQ(a.texts(), b.texts());
    ASSERT_EQ(a.list.size(), 1u);

    // Once converged, scans change nothing.
    const int callbacksBefore = a.callbacks + b.callbacks;
    EXPECT_EQ(a.pull().imported, 0);
    EXPECT_EQ(b.pull().imported, 0);
    EXPECT_EQ(a.callbacks + b.callbacks, callbacksBefore);
    EXPECT_EQ(jsonFiles(), 3u);
}

// Both machines change the same records while out of touch: the later edit wins on both,
// whichever side scans first, and a delete wins over an edit made after it.
TEST_F(SyncFolderTest, ConcurrentChangesSettleOnTheNewerEditAndTombstonesStay) {
    auto edited = replaceWorkflow("Shared", "a", "b"), doomed = replaceWorkflow("Doomed", "a", "b");
    a.list = {edited, doomed};
    a.push();
    b.pull();
    a.find(edited->id)->name = "A's edit";
    a.push();
    const auto fileAfterA = readFile(a.sync->fileFor(edited->id));
    std::erase_if(a.list, [&](const auto& s) { return s->id == doomed->id; });
    ASSERT_TRUE(hideWorkflowRecord(*a.store, doomed->id));
    // B has seen neither A's edit nor its delete: B writes its own, later versions.
    b.find(edited->id)->name = "B's edit";
    b.find(doomed->id)->name = "Edited after the delete";
    b.push();
    b.pull();
    a.pull();
    EXPECT_EQ(a.find(edited->id)->name, "B's edit");
    EXPECT_EQ(b.find(edited->id)->name, "B's edit");
    EXPECT_NE(readFile(a.sync->fileFor(edited->id)), fileAfterA);
    EXPECT_TRUE(a.store->fetch(doomed->id)[0].hidden);
    EXPECT_TRUE(b.store->fetch(doomed->id)[0].hidden);
    EXPECT_EQ(b.find(doomed->id), nullptr);
    EXPECT_EQ(a.find(doomed->id), nullptr);
    const auto file = syncRecordIn(a.sync->fileFor(doomed->id));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->hidden);
}

// A file that is no record is skipped and left alone; a record whose workflow text does not
// parse is taken into the store but not into the list.
TEST_F(SyncFolderTest, FilesThatDoNotParseAreSkippedAndLeftAlone) {
    const struct {
        const char* name;
        const char* contents;
    } cases[] = {
        {"broken.json", "{\"id\": "},
        {"not-a-record.json", "{\"hello\": 1}"},
        {"list.json", "[1, 2]"},
        {"no-modified.json", R"({"id":"X","jsonString":"{}","hidden":false})"},
    };
    for (const auto& c : cases)
        writeFile(shared / c.name, c.contents);
    WorkflowRecord odd{
        .id = "ODD", .name = "odd", .date = 1, .jsonString = "{nope", .modified = 10, .machineId = "machine-c"};
    writeFile(shared / "ODD.json", json::write(SyncFolder::recordToValue(odd)));
    a.list = {replaceWorkflow("Fine", "a", "b")};
    a.push();
    auto result = b.pull();
    EXPECT_EQ(result.skipped, 4);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(b.store->fetch("ODD").size(), 1u);
    ASSERT_EQ(b.list.size(), 1u);
    EXPECT_EQ(b.list[0]->name, "Fine");
    for (const auto& c : cases)
        EXPECT_EQ(readFile(shared / c.name), c.contents) << c.name;
}

TEST_F(SyncFolderTest, ConflictCopiesMergeByTheSameRuleAndShowOnce) {
    auto seq = replaceWorkflow("Original", "a", "b");
    a.list = {seq};
    a.push();
    auto record = a.store->fetch(seq->id)[0];
    auto newer = record;
    newer.jsonString = replaceWorkflow("From the conflict copy", "x", "y")->jsonString();
    // Keep the workflow's own id inside the text, as another machine would have it.
    auto renamed = TextActionSeq::fromJsonString(newer.jsonString);
    renamed->id = seq->id;
    newer.jsonString = renamed->jsonString();
    newer.modified = record.modified + 1000;
    newer.machineId = "machine-c";
    auto older = record;
    older.jsonString = replaceWorkflow("Stale", "q", "r")->jsonString();
    older.modified = record.modified - 1000;
    const auto canonical = a.sync->fileFor(seq->id);
    const auto stem = canonical.stem().string();
    writeFile(shared / (stem + ".sync-conflict-20240101-120000-ABCDEFG.json"),
              json::write(SyncFolder::recordToValue(newer)));
    writeFile(shared / (stem + " (conflicted copy 2024-01-01).json"), json::write(SyncFolder::recordToValue(older)));

    auto result = b.pull();
    EXPECT_EQ(result.conflictsMerged, 2);
    ASSERT_EQ(b.list.size(), 1u);
    EXPECT_EQ(b.list[0]->name, "From the conflict copy");
    EXPECT_EQ(jsonFiles(), 1u);
    EXPECT_EQ(syncRecordIn(canonical), newer);

    a.pull();
    EXPECT_EQ(a.list[0]->name, "From the conflict copy");
}

TEST_F(SyncFolderTest, RecordsFromBeforeSyncWasOnAreExported) {
    auto store = ObjectStore::open(std::string(ObjectStore::inMemoryPath), "machine-c");
    pushWorkflowsToStore(*store, {replaceWorkflow("Old", "a", "b"), replaceWorkflow("Older", "c", "d")});
    SyncFolder late(*store, shared);
    EXPECT_EQ(late.exportAll(), 2);
    EXPECT_EQ(late.exportAll(), 0);
    EXPECT_EQ(b.pull().imported, 2);
    EXPECT_EQ(b.list.size(), 2u);

    std::filesystem::remove(late.fileFor(store->records()[0].id));
    EXPECT_EQ(late.scanNow().exported, 1);
    EXPECT_EQ(jsonFiles(), 2u);
}

TEST_F(SyncFolderTest, PollingScansEveryTwoSecondsWithoutSleeping) {
    ManualScheduler scheduler;
    b.sync->startPolling(scheduler);
    a.list = {replaceWorkflow("Polled", "a", "b")};
    a.push();
    scheduler.advance(1.9);
    EXPECT_TRUE(b.list.empty());
    scheduler.advance(0.1);
    EXPECT_EQ(b.list.size(), 1u);

    a.list.push_back(replaceWorkflow("Second", "c", "d"));
    a.push();
    scheduler.advance(2.0);
    EXPECT_EQ(b.list.size(), 2u);

    b.sync->stopPolling();
    a.list.push_back(replaceWorkflow("Third", "e", "f"));
    a.push();
    scheduler.advance(10.0);
    EXPECT_EQ(b.list.size(), 2u);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(SyncFolderRules, TombstoneFirstThenLaterChangeThenFixedOrder) {
    const WorkflowRecord live{.id = "X", .jsonString = "a", .modified = 100, .machineId = "m1"};
    WorkflowRecord later = live;
    later.modified = 200;
    WorkflowRecord deadEarly = live;
    deadEarly.hidden = true;
    deadEarly.modified = 50;
    WorkflowRecord sameTimeOtherMachine = live;
    sameTimeOtherMachine.machineId = "m2";
    sameTimeOtherMachine.jsonString = "b";

    EXPECT_TRUE(SyncFolder::supersedes(later, live));
    EXPECT_FALSE(SyncFolder::supersedes(live, later));
    EXPECT_TRUE(SyncFolder::supersedes(deadEarly, later));
    EXPECT_FALSE(SyncFolder::supersedes(later, deadEarly));
    EXPECT_NE(SyncFolder::supersedes(sameTimeOtherMachine, live), SyncFolder::supersedes(live, sameTimeOtherMachine));
    EXPECT_FALSE(SyncFolder::supersedes(live, live));
}

TEST(SyncFolderRules, OddIdsStayInsideTheFolder) {
    auto store = ObjectStore::open(std::string(ObjectStore::inMemoryPath), "m");
    SyncFolder sync(*store, "/tmp/folder");
    EXPECT_EQ(sync.fileFor("../../etc/passwd").parent_path(), std::filesystem::path("/tmp/folder"));
    EXPECT_EQ(sync.fileFor("ABC-123").filename(), "ABC-123.json");
    EXPECT_NE(sync.fileFor("a/b"), sync.fileFor("a_b"));
}
