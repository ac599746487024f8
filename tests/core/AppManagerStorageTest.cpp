#include "core/ActionFactory.h"
#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lexorra;
namespace fs = std::filesystem;

namespace {

// One installation: its own stores, sharing a sync folder and a clock with the others.
struct Machine {
    Settings settings;
    StoredSettings standard{settings};
    std::unique_ptr<AppManager> app;

    Machine(const fs::path& home, const fs::path& syncFolder, ManualScheduler& clock, const std::string& machine)
        : settings(home / "settings.json", home / "group.json") {
        settings.setValue("SyncFolder", Value(syncFolder.string()));
        app = std::make_unique<AppManager>(AppManager::Services{.scheduler = clock,
                                                                .settings = standard,
                                                                .stores = &settings,
                                                                .objectStorePath = (home / "workflows.sqlite").string(),
                                                                .machineId = machine});
        app->startUp();
    }
    std::vector<std::string> names() const {
        auto out = lexorra::testing::names(app->workflowsSeqArray());
        std::sort(out.begin(), out.end());
        return out;
    }
};

} // namespace

TEST(AppManagerStorage, EditsArePushedOnceAfterTheLastAndRemoteChangesWaitForThePause) {
    ManualScheduler clock;
    const lexorra::testing::TemporaryXdgHome home;
    const auto& dir = home.root;
    Machine a(dir / "a", dir / "sync", clock, "A");
    a.app->setICloudSyncEnabled(true);
    clock.advance(45); // the first push after switching on, and its read-back
    ObjectStore* store = a.app->objectStore();
    ASSERT_NE(store, nullptr);
    const auto before = store->history().size();

    auto w = a.app->createWorkflow("Edited");
    clock.advance(0.4);
    w->actionsArray.push_back(makeDefault(TextActionType::trimLines));
    a.app->saveWorkFlowsToUserDefaults(true);
    clock.advance(0.4);
    w->name = "Edited twice";
    a.app->saveWorkFlowsToUserDefaults(true);
    clock.advance(1.49);
    EXPECT_EQ(store->history().size(), before);
    clock.advance(0.02);
    EXPECT_EQ(store->history().size(), before + 1);
    EXPECT_TRUE(a.app->pauseWorkflowUpdatesFromDB());

    // Another machine renames the workflow 10 s after the edits.
    clock.advance(8.5);
    auto record = store->fetch(w->id).front();
    auto remote = TextActionSeq::fromJsonString(record.jsonString);
    remote->name = "Renamed elsewhere";
    record.jsonString = remote->jsonString();
    record.modified += 1000;
    record.machineId = "B";
    ASSERT_TRUE(store->applyRemote({record}));
    EXPECT_EQ(w->name, "Edited twice");
    clock.advance(19.9); // 29.9 s after the third edit
    EXPECT_EQ(w->name, "Edited twice");
    clock.advance(0.2);
    EXPECT_EQ(w->name, "Renamed elsewhere");
    EXPECT_FALSE(a.app->pauseWorkflowUpdatesFromDB());
}

TEST(AppManagerStorage, TwoMachinesConvergeThroughTheSyncFolder) {
    ManualScheduler clock;
    const lexorra::testing::TemporaryXdgHome home;
    const auto& dir = home.root;
    Machine a(dir / "a", dir / "sync", clock, "A");
    Machine b(dir / "b", dir / "sync", clock, "B");
    a.app->setICloudSyncEnabled(true);
    b.app->setICloudSyncEnabled(true);
    clock.advance(60);
    EXPECT_EQ(a.names(), b.names());

    auto made = a.app->createWorkflow("Made on A");
    clock.advance(60);
    EXPECT_EQ(a.names(), b.names());
    ASSERT_TRUE(b.app->findSequence(made->id));

    a.app->deleteWorkflow(made->id);
    clock.advance(60);
    EXPECT_FALSE(b.app->findSequence(made->id));
    EXPECT_EQ(a.names(), b.names());

    // The shared list of each machine mirrors its merged list.
    Settings reread(dir / "b" / "settings.json", dir / "b" / "group.json");
    const Value* saved = reread.store(StoreKind::group).value("SavedWorkFlows");
    ASSERT_TRUE(saved && saved->isList());
    EXPECT_EQ(saved->asList().size(), b.app->workflowsSeqArray().size());
}

TEST(AppManagerStorage, ExportImportAndDefaults) {
    ManualScheduler clock;
    const lexorra::testing::TemporaryXdgHome home;
    const auto& dir = home.root;
    Machine a(dir / "a", dir / "sync", clock, "A");
    const size_t defaults = a.app->workflowsSeqArray().size();
    EXPECT_GT(defaults, 0u); // first start: the first workflow selected, its result of the welcome text kept
    EXPECT_TRUE(a.app->selectDefaultAction);
    EXPECT_EQ(a.app->activeActionsSeq(), a.app->workflowsSeqArray().front());
    clock.advance(1);
    EXPECT_FALSE(a.app->resultString().empty());
    EXPECT_EQ(a.standard.value("SavedInputString"), Value(a.app->inputString()));
    EXPECT_FALSE(a.app->inputString().empty());

    ASSERT_TRUE(a.app->exportWorkflows((dir / "all.json").string(), "all"));
    ASSERT_TRUE(a.app->importWorkflows((dir / "all.json").string()));
    ASSERT_TRUE(a.app->importWorkflows((dir / "all.json").string()));
    EXPECT_EQ(a.app->workflowsSeqArray().size(), 3 * defaults);
    std::set<std::string> ids;
    for (const auto& w : a.app->workflowsSeqArray())
        ids.insert(w->id);
    EXPECT_EQ(ids.size(), 3 * defaults);
    EXPECT_FALSE(a.app->importWorkflows((dir / "missing.json").string()));

    a.app->loadDefaultWorkflows();
    a.app->loadDefaultWorkflows();
    ids.clear();
    for (const auto& w : a.app->workflowsSeqArray())
        ids.insert(w->id);
    EXPECT_EQ(ids.size(), 3 * defaults); // the defaults keep their stored ids
    EXPECT_EQ(a.app->activeSeqType(), SeqType::action);
}
