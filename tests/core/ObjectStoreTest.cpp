#include "core/ObjectStore.h"
#include "core/ActionFactory.h"
#include "core/WorkflowMirror.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

std::unique_ptr<ObjectStore> openStore(const std::filesystem::path& file, const std::string& machine = "machine-a") {
    std::string error;
    auto store = ObjectStore::open(file, machine, &error);
    EXPECT_TRUE(store) << error;
    return store;
}

} // namespace

TEST(ObjectStore, CannotBeOpenedGivesTheUnresolvedErrorMessage) {
    TemporaryXdgHome home;
    writeFile(home.root / "blocker", "a file where a folder should be");
    std::string error;
    auto store = ObjectStore::open(home.root / "blocker" / "workflows.sqlite", "m", &error);
    EXPECT_FALSE(store);
    EXPECT_EQ(error.rfind("Unresolved error ", 0), 0u) << error;
}

TEST(ObjectStore, EditsStayInTheContextUntilSavedThenOtherConnectionsSeeThem) {
    TemporaryXdgHome home;
    const auto file = home.data() / "workflows.sqlite";
    auto store = openStore(file);
    auto other = openStore(file);
    int heard = 0;
    other->addObserver([&](const StoreChange&) { ++heard; });
    store->insert({.id = "A", .name = "first", .jsonString = "{}"});
    EXPECT_TRUE(store->hasChanges());
    ASSERT_EQ(store->fetch("A").size(), 1u);
    EXPECT_FALSE(other->refresh());
    EXPECT_EQ(other->fetch("A").size(), 0u);
    ASSERT_TRUE(store->save());
    EXPECT_FALSE(store->hasChanges());
    EXPECT_TRUE(other->refresh());
    EXPECT_FALSE(other->refresh());
    EXPECT_EQ(heard, 1);
    auto found = other->fetch("A");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "first");
    EXPECT_EQ(found[0].machineId, "machine-a");
    EXPECT_GT(found[0].date, 1.6e9);
    EXPECT_GT(found[0].modified, 0);

    store->insert({.id = "B", .jsonString = "{}"});
    store->rollback();
    EXPECT_TRUE(store->fetch("B").empty());
}

TEST(ObjectStore, RecordsAreOrderedByDateKeepAllAttributesAndEveryChangeIsLater) {
    auto store = openStore(std::string(ObjectStore::inMemoryPath));
    store->insert({.id = "late", .date = 300, .jsonString = "3"});
    store->insert({.id = "early", .date = 100, .jsonString = "1", .descriptionText = "d", .flag = 7, .index = 2});
    store->insert({.id = "middle", .date = 200, .jsonString = "2", .hidden = true});
    ASSERT_TRUE(store->save());
    auto records = store->records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].id + records[1].id + records[2].id, "earlymiddlelate");
    EXPECT_EQ(records[0].descriptionText, "d");
    EXPECT_EQ(records[0].flag, 7);
    EXPECT_EQ(records[0].index, 2);
    EXPECT_TRUE(records[1].hidden);
    // Every change is later than the last one.
    for (int i = 0; i < 5; ++i) {
        auto record = store->fetch("early")[0];
        record.jsonString = std::to_string(i);
        store->update(record);
        store->save();
        EXPECT_GT(store->fetch("early")[0].modified, record.modified);
    }
}

// Observers hear each commit, local or remote, once it is made; the history keeps them.
TEST(ObjectStore, HistoryAndObserversRecordEveryTransactionWithItsAuthor) {
    auto store = openStore(std::string(ObjectStore::inMemoryPath));
    std::vector<StoreChange> heard;
    const int token = store->addObserver([&](const StoreChange& c) { heard.push_back(c); });
    store->insert({.id = "A", .jsonString = "1"});
    store->insert({.id = "B", .jsonString = "2"});
    EXPECT_TRUE(heard.empty());
    store->save();
    store->save(); // nothing to save: no transaction
    ASSERT_TRUE(store->applyRemote({{.id = "C", .jsonString = "3", .modified = 5, .machineId = "machine-b"}}));
    auto history = store->history();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].author, ChangeAuthor::local);
    EXPECT_EQ(history[0].machineId, "machine-a");
    EXPECT_EQ(history[0].ids, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(history[1].author, ChangeAuthor::remote);
    EXPECT_EQ(history[1].machineId, "machine-b");
    EXPECT_EQ(history[1].ids, (std::vector<std::string>{"C"}));
    EXPECT_EQ(store->history(history[0].transaction).size(), 1u);
    EXPECT_EQ(store->fetch("C")[0].modified, 5);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].author, ChangeAuthor::local);
    EXPECT_EQ(heard[1].author, ChangeAuthor::remote);
    EXPECT_LT(heard[0].transaction, heard[1].transaction);
    store->removeObserver(token);
    store->applyRemote({{.id = "D", .jsonString = "4", .modified = 1}});
    EXPECT_EQ(heard.size(), 2u);
}

TEST(FetchedWorkflowRecords, RefetchesThenCallsTheDelegate) {
    auto store = openStore(std::string(ObjectStore::inMemoryPath));
    FetchedWorkflowRecords fetched(*store);
    std::vector<size_t> sizesSeen;
    fetched.setDelegate([&] { sizesSeen.push_back(fetched.fetchedObjects().size()); });
    fetched.performFetch();
    EXPECT_TRUE(fetched.fetchedObjects().empty());
    store->insert({.id = "B", .date = 2, .jsonString = "b"});
    store->save();
    store->applyRemote({{.id = "A", .date = 1, .jsonString = "a", .modified = 1}});
    ASSERT_EQ(sizesSeen, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(fetched.fetchedObjects()[0].id, "A");
    fetched.setDelegate(nullptr);
    store->applyRemote({{.id = "C", .date = 3, .jsonString = "c", .modified = 1}});
    EXPECT_EQ(sizesSeen.size(), 2u);
    EXPECT_EQ(fetched.fetchedObjects().size(), 3u);
}

TEST(WorkflowMirror, PushCreatesThenUpdatesOnlyChangedRecords) {
    auto store = openStore(std::string(ObjectStore::inMemoryPath));
    std::vector<TextActionSeqPtr> list = {replaceWorkflow("One", "a", "b"), replaceWorkflow("Two", "c", "d")};
    EXPECT_TRUE(pushWorkflowsToStore(*store, list));
    EXPECT_FALSE(store->hasChanges());
    ASSERT_EQ(store->records().size(), 2u);
    EXPECT_EQ(store->fetch(list[0]->id)[0].jsonString, list[0]->jsonString());

    EXPECT_FALSE(pushWorkflowsToStore(*store, list));
    EXPECT_EQ(store->history().size(), 1u);

    list[1]->name = "Renamed";
    EXPECT_TRUE(pushWorkflowsToStore(*store, list));
    auto record = store->fetch(list[1]->id)[0];
    EXPECT_EQ(record.jsonString, list[1]->jsonString());
    EXPECT_EQ(record.name, "Two"); // the name at creation stays
    EXPECT_EQ(store->history().size(), 2u);
}

TEST(WorkflowMirror, MergeAddsUpdatesRemovesAndSkips) {
    auto kept = replaceWorkflow("Kept", "a", "b");
    auto edited = replaceWorkflow("Edited", "a", "b");
    auto deleted = replaceWorkflow("Deleted", "a", "b");
    std::vector<TextActionSeqPtr> list = {kept, edited, deleted};
    const TextActionSeq* editedObject = edited.get();

    auto remoteEdit = replaceWorkflow("Edited elsewhere", "x", "y");
    remoteEdit->id = edited->id;
    remoteEdit->icon = "remote-icon";
    auto newcomer = replaceWorkflow("New", "n", "m");
    auto hiddenUnknown = replaceWorkflow("Gone", "g", "h");

    const std::vector<WorkflowRecord> records = {
        {.id = kept->id, .date = 1, .jsonString = kept->jsonString()},
        {.id = edited->id, .date = 2, .jsonString = remoteEdit->jsonString()},
        {.id = deleted->id, .date = 3, .jsonString = deleted->jsonString(), .hidden = true},
        {.id = newcomer->id, .date = 4, .jsonString = newcomer->jsonString()},
        {.id = hiddenUnknown->id, .date = 5, .jsonString = hiddenUnknown->jsonString(), .hidden = true},
        {.id = "broken", .date = 6, .jsonString = "{not json"},
    };
    auto result = mergeRecordsIntoList(records, list);
    EXPECT_EQ(result.added, (std::vector<std::string>{newcomer->id}));
    EXPECT_EQ(result.removed, (std::vector<std::string>{deleted->id}));
    EXPECT_EQ(result.updated, (std::vector<std::string>{edited->id}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], kept);
    EXPECT_EQ(list[1].get(), editedObject); // the local object stays
    EXPECT_EQ(list[1]->name, "Edited elsewhere");
    EXPECT_EQ(list[1]->icon, "flowchart"); // the local icon stays
    EXPECT_EQ(list[1]->run("x"), "y");
    EXPECT_EQ(list[2]->name, "New");
    EXPECT_TRUE(list[2]->allowToEdit);

    // A second pass adds and removes nothing; the edited workflow still differs from its
    // record only by the icon it kept, so it takes the record's name and actions again.
    auto again = mergeRecordsIntoList(records, list);
    EXPECT_TRUE(again.added.empty());
    EXPECT_TRUE(again.removed.empty());
    EXPECT_EQ(again.updated, (std::vector<std::string>{edited->id}));
    list[1]->icon = "remote-icon";
    EXPECT_FALSE(mergeRecordsIntoList(records, list).changed());
}
