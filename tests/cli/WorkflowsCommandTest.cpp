#include "core/Json.h"
#include "core/WorkflowDocuments.h"
#include "support/Cli.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

class WorkflowsCli : public ::testing::Test {
protected:
    TemporaryXdgHome home;

    std::vector<Value> listJson() {
        auto r = runCli({"workflows", "list", "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        auto parsed = json::parse(r.out);
        EXPECT_TRUE(parsed && parsed->isList()) << r.out;
        return parsed && parsed->isList() ? parsed->asList() : std::vector<Value>{};
    }

    static std::string idOf(const Value& workflow) { return workflow.get("Id")->asString(); }

    std::string exchangeFile(const std::string& name, const std::string& find, const std::string& with) {
        auto workflow = replaceWorkflow(name, find, with);
        workflow->id = "FIXED-ID";
        writeFile(home.root / (name + ".json"), exchangeJson({workflow}));
        return (home.root / (name + ".json")).string();
    }
};

} // namespace

TEST_F(WorkflowsCli, FirstStartListsTheDefaultWorkflowsAsJson) {
    auto list = listJson();
    ASSERT_GE(list.size(), 6u);
    for (const auto& w : list) {
        ASSERT_TRUE(w.isMap());
        for (const char* key : {"Id", "Name", "Icon", "Actions"})
            EXPECT_TRUE(w.contains(key)) << key;
        EXPECT_FALSE(w.contains("APPVersion"));
    }
    auto plain = runCli({"workflows", "list"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find(idOf(list[0]) + "\t"), std::string::npos) << plain.out;
}

TEST_F(WorkflowsCli, RunFindsAStoredWorkflowByIdOrExactName) {
    runCli({"workflows", "import", exchangeFile("Shout", "a", "A")});
    auto list = listJson();
    const std::string id = idOf(list.back());
    const struct {
        const char* what;
        std::string workflow;
        int status;
        const char* out;
    } cases[] = {
        {"by name", "Shout", 0, "bAnAnA"},
        {"by id", id, 0, "bAnAnA"},
        {"name case differs", "shout", 3, ""},
        {"unknown", "Nothing like it", 3, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto r = runCli({"run", "--workflow", c.workflow}, "banana");
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        if (c.status != 0) {
            EXPECT_NE(r.err.find("lexorra-cli: error:"), std::string::npos);
        }
    }
}

TEST_F(WorkflowsCli, ExportAllOrOneThenImportElsewhere) {
    auto list = listJson();
    const auto all = home.root / "all.json";
    const auto one = home.root / "one.json";
    ASSERT_EQ(runCli({"workflows", "export", all.string()}).status, 0);
    ASSERT_EQ(runCli({"workflows", "export", "--id", idOf(list[2]), one.string()}).status, 0);
    auto allDoc = json::parse(readFile(all));
    auto oneDoc = json::parse(readFile(one));
    ASSERT_TRUE(allDoc && oneDoc);
    EXPECT_EQ(allDoc->get("workflows")->asList().size(), list.size());
    ASSERT_EQ(oneDoc->get("workflows")->asList().size(), 1u);
    const Value& exported = oneDoc->get("workflows")->asList()[0];
    EXPECT_EQ(idOf(exported), idOf(list[2]));

    TemporaryXdgHome other;
    auto r = runCli({"workflows", "import", one.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    auto there = listJson();
    ASSERT_EQ(there.size(), list.size() + 1);
    EXPECT_EQ(there.back().get("Name")->asString(), list[2].get("Name")->asString());
    EXPECT_NE(idOf(there.back()), idOf(list[2]));
    EXPECT_NE(r.out.find(idOf(there.back())), std::string::npos) << "the new id is reported";
}

TEST_F(WorkflowsCli, DeleteRemovesOnlyThatWorkflow) {
    auto list = listJson();
    auto r = runCli({"workflows", "delete", idOf(list[1])});
    EXPECT_EQ(r.status, 0) << r.err;
    auto after = listJson();
    ASSERT_EQ(after.size(), list.size() - 1);
    for (const auto& w : after)
        EXPECT_NE(idOf(w), idOf(list[1]));
    EXPECT_EQ(idOf(after[0]), idOf(list[0]));
}

TEST_F(WorkflowsCli, ErrorsAndExitStatuses) {
    listJson();
    writeFile(home.root / "broken.json", "{\"workflows\": [");
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {"no subcommand", {"workflows"}, 2, ""},
        {"unknown subcommand", {"workflows", "rename", "x"}, 2, ""},
        {"export without file", {"workflows", "export"}, 2, ""},
        {"delete unknown id", {"workflows", "delete", "NO-SUCH-ID"}, 3, "NO-SUCH-ID"},
        {"export unknown id", {"workflows", "export", "--id", "NO-SUCH-ID", (home.root / "x.json").string()}, 3, ""},
        {"import missing file",
         {"workflows", "import", (home.root / "missing.json").string()},
         4,
         "Could not load file."},
        {"import broken file", {"workflows", "import", (home.root / "broken.json").string()}, 4, "Error"},
        {"export into a file path", {"workflows", "export", (home.root / "broken.json" / "x.json").string()}, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(WorkflowsCli, CorruptGroupStoreIsReportedAndLeftUntouched) {
    const std::string corrupt = "{\"SavedWorkFlows\": [ {\"Id\": \"A\", ";
    writeFile(home.groupFile(), corrupt);
    const std::vector<std::vector<std::string>> commands = {
        {"workflows", "list"},
        {"workflows", "import", exchangeFile("X", "a", "b")},
        {"workflows", "delete", "A"},
        {"run", "--workflow", "A"},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[1]);
        auto r = runCli(args);
        EXPECT_EQ(r.status, 4);
        EXPECT_NE(r.err.find(home.groupFile().string()), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(home.groupFile()), corrupt);
}
