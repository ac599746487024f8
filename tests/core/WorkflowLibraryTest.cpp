#include "core/WorkflowLibrary.h"
#include "core/Json.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::testing;

class StartupLoad : public ::testing::Test {
protected:
    TemporaryXdgHome home;
    void store(const std::filesystem::path& file, const std::vector<TextActionSeqPtr>& list) {
        ASSERT_TRUE(SettingsStore(file).setValue("SavedWorkFlows", workflowListValue(list)));
    }
    Value groupKey(const char* key) {
        auto parsed = json::parse(readFile(home.groupFile()));
        if (!parsed || !parsed->get(key)) return Value();
        return *parsed->get(key);
    }
};

TEST_F(StartupLoad, FirstStartLoadsAndStoresTheDefaults) {
    Settings settings;
    auto load = WorkflowLibrary(&settings).load();
    EXPECT_TRUE(load.firstStart);
    EXPECT_EQ(ids(load.workflows), ids(loadDefaultWorkflowList()));
    EXPECT_EQ(groupKey("Version"), Value(appVersionString()));
    EXPECT_EQ(workflowsFromListValue(groupKey("SavedWorkFlows")).size(), load.workflows.size());

    Settings again;
    auto second = WorkflowLibrary(&again).load();
    EXPECT_FALSE(second.firstStart);
    EXPECT_FALSE(second.defaultsAdded);
    EXPECT_EQ(second.workflows.size(), load.workflows.size());
}

TEST_F(StartupLoad, ListInTheStandardStoreIsMovedOnce) {
    auto mine = replaceWorkflow("Mine", "x", "y");
    store(home.standardFile(), {mine});
    Settings settings;
    auto load = WorkflowLibrary(&settings).load();
    EXPECT_FALSE(load.firstStart);
    ASSERT_EQ(load.workflows.size(), 1u);
    EXPECT_EQ(load.workflows[0]->id, mine->id);
    EXPECT_TRUE(load.workflows[0]->allowToEdit);
    EXPECT_EQ(groupKey("Version"), Value(appVersionString()));
    EXPECT_EQ(workflowsFromListValue(groupKey("SavedWorkFlows"))[0]->id, mine->id);

    // Once moved, the standard store's list is not read again.
    store(home.standardFile(), {replaceWorkflow("Later", "", "")});
    Settings again;
    auto second = WorkflowLibrary(&again).load();
    ASSERT_EQ(second.workflows.size(), 1u);
    EXPECT_EQ(second.workflows[0]->id, mine->id);
}

TEST_F(StartupLoad, ListWithoutVersionGetsTheDefaultsAdded) {
    auto mine = replaceWorkflow("Mine", "x", "y");
    store(home.groupFile(), {mine});
    Settings settings;
    auto load = WorkflowLibrary(&settings).load();
    EXPECT_TRUE(load.defaultsAdded);
    EXPECT_FALSE(load.firstStart);
    ASSERT_EQ(load.workflows.size(), 1 + loadDefaultWorkflowList().size());
    EXPECT_EQ(load.workflows[0]->id, mine->id);
    EXPECT_EQ(groupKey("Version"), Value(appVersionString()));
}

TEST_F(StartupLoad, ConcurrentWritersLoseNothing) {
    Settings settings;
    WorkflowLibrary(&settings).load();
    constexpr int writers = 8, each = 3;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            WorkflowLibrary library;
            bool ok = true;
            for (int i = 0; i < each; ++i)
                ok = library
                         .edit([&](auto& list) {
                             list.push_back(replaceWorkflow("w" + std::to_string(w) + "-" + std::to_string(i), "", ""));
                         })
                         .saved &&
                     ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto stored = WorkflowLibrary().current();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), loadDefaultWorkflowList().size() + writers * each);
}

// The window's list against another program's writes, workflow by workflow.
TEST_F(StartupLoad, ReconcileTakesOtherWritersChangesPerWorkflow) {
    Settings settings;
    WorkflowLibrary window(&settings);
    auto kept = replaceWorkflow("Kept", "", ""), gone = replaceWorkflow("Gone", "", ""),
         renamed = replaceWorkflow("Renamed", "", ""), both = replaceWorkflow("Both", "", ""),
         revived = replaceWorkflow("Revived", "", "");
    std::vector<TextActionSeqPtr> list = {kept, gone, renamed, both, revived};
    ASSERT_TRUE(window.reconcile(list).saved);

    WorkflowLibrary other;
    auto added = replaceWorkflow("Added", "", "");
    ASSERT_TRUE(other
                    .edit([&](auto& stored) {
                        std::erase_if(stored, [&](const auto& s) { return s->id == gone->id || s->id == revived->id; });
                        for (auto& s : stored)
                            if (s->id == renamed->id || s->id == both->id) s->name += " elsewhere";
                        stored.push_back(added);
                    })
                    .saved);
    EXPECT_TRUE(window.changedOnDisk());

    kept->name = "Kept here";       // changed here only
    both->name = "Both here";       // changed on both sides: this side wins
    revived->name = "Revived here"; // changed here, deleted there: it stays
    auto outcome = window.reconcile(list);
    ASSERT_TRUE(outcome.saved);
    EXPECT_FALSE(window.changedOnDisk());
    EXPECT_EQ(names(list),
              (std::vector<std::string>{"Kept here", "Renamed elsewhere", "Both here", "Revived here", "Added"}));
    EXPECT_EQ(list[1], renamed) << "taken over in place: the editor keeps its object";
    EXPECT_EQ(outcome.removed, std::vector<std::string>{gone->id});
    EXPECT_EQ(outcome.updated, std::vector<std::string>{renamed->id});
    EXPECT_EQ(outcome.added, std::vector<std::string>{added->id});
    EXPECT_EQ(names(*WorkflowLibrary().current()), names(list)) << "stored in the list's order";
    EXPECT_EQ(names(WorkflowLibrary(&settings).load().workflows), names(list)) << "and loaded in it";

    // Deleted here, untouched there: gone for good.
    list.erase(list.begin());
    ASSERT_TRUE(window.reconcile(list).saved);
    EXPECT_EQ(ids(*WorkflowLibrary().current()), ids(list));
}

// An unreadable group store loads nothing and stays as it is, whatever is asked of it, until
// it is set aside on request.
TEST_F(StartupLoad, UnreadableGroupStoreIsLeftAsItIsUntilSetAside) {
    const std::string corrupt = R"({"SavedWorkFlows": [{"Id": )";
    writeFile(home.groupFile(), corrupt);
    Settings settings;
    auto load = WorkflowLibrary(&settings).load();
    EXPECT_TRUE(load.storeUnreadable);
    EXPECT_TRUE(load.workflows.empty());
    EXPECT_NE(load.problem.find(home.groupFile().string()), std::string::npos) << load.problem;
    WorkflowLibrary library(&settings);
    EXPECT_FALSE(library.edit([](auto& list) { list.clear(); }).saved);
    std::vector<TextActionSeqPtr> list = {replaceWorkflow("New", "", "")};
    EXPECT_TRUE(library.reconcile(list).unreadable);
    EXPECT_EQ(readFile(home.groupFile()), corrupt);
    auto aside = library.setAsideUnreadableStore();
    ASSERT_TRUE(aside);
    EXPECT_EQ(readFile(*aside), corrupt);
    EXPECT_TRUE(library.load().firstStart);
}

// Another machine renamed a workflow (its record arrived in the sync folder); deleting
// another workflow here must take the rename in and must not push the stale copy back.
TEST_F(StartupLoad, SyncedEditsMergeBeforeTheyPush) {
    const auto syncFolder = home.root / "sync";
    {
        Settings settings;
        ASSERT_TRUE(settings.setValue("iCloudSyncEnabled", Value(true)));
        ASSERT_TRUE(settings.setValue("SyncFolder", Value(syncFolder.string())));
    }
    WorkflowLibrary library;
    auto renamed = replaceWorkflow("Before", "", ""), deleted = replaceWorkflow("Deleted", "", "");
    ASSERT_TRUE(library.edit([&](auto& list) { list = {renamed, deleted}; }).saved);

    auto fileFor = [&](const auto& seq) { return syncFolder / (seq->id + ".json"); };
    auto record = syncRecordIn(fileFor(renamed));
    ASSERT_TRUE(record);
    auto remote = TextActionSeq::fromJsonString(record->jsonString);
    remote->name = "After";
    record->jsonString = remote->jsonString();
    record->modified += 60'000;
    record->machineId = "another-machine";
    writeFile(fileFor(renamed), json::write(SyncFolder::recordToValue(*record)));

    auto edit = library.remove(deleted->id);
    ASSERT_TRUE(edit.saved);
    EXPECT_EQ(edit.merged, std::vector<std::string>{renamed->id});
    EXPECT_EQ(edit.changed, std::vector<std::string>{});
    EXPECT_EQ(names(*library.current()), std::vector<std::string>{"After"});
    EXPECT_EQ(syncRecordIn(fileFor(renamed)), record);
    EXPECT_TRUE(syncRecordIn(fileFor(deleted))->hidden);
}
