// The window and other programs writing the same workflow list.
#include "core/WorkflowLibrary.h"
#include "shell/ShellFixture.h"
#include "support/Workflows.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

class OtherWritersTest : public ShellFixture {
protected:
    bool listed(const std::string& name) { return sidebarItem(QString::fromStdString(name)); }
    // Another program's edit of the stored list (the command line, the service).
    void elsewhere(const std::function<void(std::vector<TextActionSeqPtr>&)>& change) {
        ASSERT_TRUE(WorkflowLibrary().edit(change).saved);
    }
};

TEST_F(OtherWritersTest, ImportsDeletesAndRenamesElsewhereShowWithinASecond) {
    auto imported = replaceWorkflow("Imported elsewhere", "", "");
    elsewhere([&](auto& list) { list.push_back(imported); });
    settle(1.0);
    EXPECT_TRUE(listed("Imported elsewhere"));

    // The selected workflow renamed elsewhere: the window's object takes the new name.
    auto selected = app->workflowsSeqArray()[1];
    app->setSelectedworkflowSeq(selected);
    elsewhere([&](auto& list) {
        for (auto& s : list)
            if (s->id == selected->id) s->name = "Renamed elsewhere";
    });
    settle(1.0);
    EXPECT_EQ(selected->name, "Renamed elsewhere");
    EXPECT_TRUE(listed("Renamed elsewhere"));

    // ... then deleted: its editor goes, the neighbour takes over, the user is told.
    const auto next = app->workflowsSeqArray()[2];
    elsewhere([&](auto& list) { std::erase_if(list, [&](const auto& s) { return s->id == selected->id; }); });
    settle(1.0);
    EXPECT_FALSE(listed("Renamed elsewhere"));
    EXPECT_EQ(app->selectedworkflowSeq(), next);
    ASSERT_FALSE(notices.shown.empty());
    EXPECT_NE(notices.shown.back().message.find("Renamed elsewhere"), std::string::npos);

    // A window edit after all that keeps what the others wrote.
    app->createWorkflow("Made in the window");
    auto stored = WorkflowLibrary().current();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), app->workflowsSeqArray().size());
    EXPECT_TRUE(findWorkflow(*stored, "Imported elsewhere"));
}

TEST_F(OtherWritersTest, AnUnreadableListIsNamedAndNeverWrittenOver) {
    const std::string damaged = "{\"SavedWorkFlows\": [";
    writeFile(home.groupFile(), damaged);
    settle(1.0);
    auto* banner = find<QLabel>("storeProblemLabel");
    ASSERT_TRUE(banner);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->text().contains(QString::fromStdString(home.groupFile().string())));
    auto* alert = window->findChild<QMessageBox*>("storeProblemMessageBox");
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->defaultButton()->text(), "Leave It for Now");
    alert->reject();
    app->createWorkflow("Not saved over it");
    EXPECT_EQ(readFile(home.groupFile()), damaged);

    ASSERT_FALSE(app->setAsideUnreadableStore().empty());
    settle();
    EXPECT_FALSE(banner->isVisible());
    EXPECT_TRUE(WorkflowLibrary().current());
}

} // namespace
