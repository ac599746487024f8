#include "core/WorkflowUndoStack.h"
#include "core/ActionFactory.h"
#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "core/SettingsStore.h"
#include "core/WorkflowDocuments.h"
#include "core/WorkflowLibrary.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace lexorra;
namespace fs = std::filesystem;

namespace {

// The window's controller over stores of its own, on a manual clock.
struct Desk {
    lexorra::testing::TemporaryXdgHome xdg; // whatever is opened by default stays in here
    fs::path home;
    ManualScheduler clock;
    Settings settings;
    StoredSettings standard{settings};
    std::unique_ptr<AppManager> app;

    Desk() : home(xdg.root), settings(home / "settings.json", home / "group.json") {
        settings.setValue("SyncFolder", Value((home / "sync").string()));
        app = std::make_unique<AppManager>(AppManager::Services{.scheduler = clock,
                                                                .settings = standard,
                                                                .stores = &settings,
                                                                .objectStorePath = (home / "store.sqlite").string(),
                                                                .machineId = "A"});
        app->startUp();
    }
    // "Sorted Unique Lines" of the default workflows: four steps.
    TextActionSeqPtr first() const { return app->workflowsSeqArray().at(2); }
};

// A list as the user sees it: a workflow that comes back has a new id, and the stored
// document has no room for switched-off steps.
std::vector<std::string> shape(const std::vector<TextActionSeqPtr>& list, bool withSwitches = true) {
    std::vector<std::string> out;
    for (const auto& seq : list) {
        std::string json = seq->jsonString();
        json.replace(json.find(seq->id), seq->id.size(), "ID");
        for (const auto& action : seq->actionsArray)
            if (withSwitches && !action->enabled()) json += " off:" + action->id;
        out.push_back(json);
    }
    return out;
}

std::vector<std::string> stored(const Desk& desk) {
    Settings fresh(desk.home / "settings.json", desk.home / "group.json");
    WorkflowLibrary library(&fresh, {.objectStorePath = (desk.home / "store.sqlite").string(), .machineId = "A"});
    return shape(*library.current(), false);
}

} // namespace

// Each edit is saved as the window saves it; for the commands that save themselves that
// second save must make no step of its own.
TEST(WorkflowUndo, EveryEditOfTheListIsTakenBackAndDoneAgainThroughTheStore) {
    struct Row {
        const char* label;
        std::function<void(Desk&)> edit;
    };
    const Row rows[] = {
        {"Add Action", [](Desk& d) { d.first()->actionsArray.push_back(makeDefault(TextActionType::trimLines)); }},
        {"Remove Action", [](Desk& d) { d.first()->actionsArray.pop_back(); }},
        {"Move Action", [](Desk& d) { d.app->moveAction(d.first(), 0, d.first()->actionsArray.size() - 1); }},
        {"Disable Action", [](Desk& d) { d.first()->actionsArray.front()->setEnabled(false); }},
        {"Change Option",
         [](Desk& d) {
             d.app->workflowsSeqArray().front()->actionsArray.front()->setOption("WithString", Value("~"));
         }},
        {"Rename Workflow", [](Desk& d) { d.first()->name = "Renamed"; }},
        {"Delete Workflow", [](Desk& d) { d.app->deleteWorkflow(d.first()->id); }},
        {"Delete Workflows",
         [](Desk& d) {
             d.app->deleteWorkflows({d.first()->id, d.app->workflowsSeqArray()[0]->id});
         }},
        {"New Workflow", [](Desk& d) { d.app->createWorkflow("Fresh"); }},
        {"Duplicate Workflow", [](Desk& d) { d.app->duplicateWorkflow(d.first()->id); }},
        {"Import Workflows",
         [](Desk& d) {
             ASSERT_TRUE(writeExchangeFile(d.home / "two.json", {d.first(), d.app->workflowsSeqArray().back()}));
             ASSERT_TRUE(d.app->importWorkflows((d.home / "two.json").string()));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Desk d;
        d.app->setICloudSyncEnabled(true);
        d.clock.advance(45);
        d.app->setSelectedworkflowSeq(d.first());
        const auto before = shape(d.app->workflowsSeqArray());
        row.edit(d);
        d.app->saveWorkFlowsToUserDefaults(true);
        const auto after = shape(d.app->workflowsSeqArray());
        ASSERT_NE(after, before);
        EXPECT_EQ(d.app->workflowUndo().undoLabel(), row.label);
        // Pushed, and read back from the store and the other machines' records: a workflow
        // that came back is not deleted again by its own tombstone.
        auto expectSettled = [&](const std::vector<std::string>& list) {
            EXPECT_EQ(shape(d.app->workflowsSeqArray()), list);
            d.clock.advance(45);
            EXPECT_EQ(shape(d.app->workflowsSeqArray()), list);
            EXPECT_EQ(stored(d), shape(d.app->workflowsSeqArray(), false));
        };
        ASSERT_TRUE(d.app->undoWorkflowEdit());
        EXPECT_FALSE(d.app->workflowUndo().canUndo());
        ASSERT_TRUE(d.app->selectedworkflowSeq());
        expectSettled(before);
        ASSERT_TRUE(d.app->redoWorkflowEdit());
        expectSettled(after);
        EXPECT_FALSE(d.app->redoWorkflowEdit());
    }
}

TEST(WorkflowUndo, ANewEditClearsRedoAndTheStackIsCapped) {
    Desk d;
    d.first()->name = "One";
    d.app->saveWorkFlowsToUserDefaults(true);
    d.app->undoWorkflowEdit();
    EXPECT_TRUE(d.app->workflowUndo().canRedo());
    d.app->createWorkflow("Other");
    EXPECT_FALSE(d.app->workflowUndo().canRedo());

    WorkflowUndoStack capped(2);
    std::vector<TextActionSeqPtr> list{std::make_shared<TextActionSeq>("v0")};
    capped.reset(list);
    for (const char* name : {"v1", "v2", "v3"}) {
        list[0]->name = name;
        capped.record(list);
    }
    EXPECT_TRUE(capped.undo(list) && capped.undo(list));
    EXPECT_FALSE(capped.undo(list));
    EXPECT_EQ(list[0]->name, "v1");
}

TEST(WorkflowUndo, OtherWritersChangesAreNoStepsAndForgetTheStepsTheyTouch) {
    Desk d;
    const auto list = d.app->workflowsSeqArray();
    ASSERT_GE(list.size(), 3u);
    const std::string mine = list[0]->id, theirs = list[1]->id, both = list[2]->id;
    list[0]->name = "Mine";
    d.app->saveWorkFlowsToUserDefaults(true);
    list[2]->name = "Mine too";
    d.app->saveWorkFlowsToUserDefaults(true);

    // Another program (the command line, say) renames one and changes the one edited here last.
    Settings otherSettings(d.home / "settings.json", d.home / "group.json");
    WorkflowLibrary cli(&otherSettings, {.objectStorePath = (d.home / "store.sqlite").string(), .machineId = "A"});
    ASSERT_TRUE(cli.edit([&](auto& stored) {
                       for (auto& seq : stored) {
                           if (seq->id == theirs) seq->name = "Theirs";
                           if (seq->id == both) seq->name = "Theirs too";
                       }
                   })
                    .saved);
    d.app->followOtherWriters();
    ASSERT_TRUE(d.app->undoWorkflowEdit());
    EXPECT_FALSE(d.app->undoWorkflowEdit()); // the step on the workflow changed elsewhere is gone
    auto name = [&](const std::string& id) { return d.app->findSequence(id)->name; };
    EXPECT_NE(name(mine), "Mine");
    EXPECT_EQ(name(theirs), "Theirs");
    EXPECT_EQ(name(both), "Theirs too");
}
