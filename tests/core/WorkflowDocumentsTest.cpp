#include "core/WorkflowDocuments.h"
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/SettingsStore.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <set>

using namespace lexorra;
using namespace lexorra::testing;

TEST(WorkflowDocument, RoundTripKeepsIdNameIconAndActionOptions) {
    auto seq = replaceWorkflow("Dashes", "-+", "–", true);
    seq->icon = "star";
    auto back = TextActionSeq::fromDictionary(seq->toDictionary(true));
    ASSERT_TRUE(back);
    // The text holds the id, name and icon and every action with its id and options.
    EXPECT_EQ(back->jsonString(), seq->jsonString());
    EXPECT_NE(back->jsonString().find("\"star\""), std::string::npos);
    EXPECT_EQ(back->run("a--b"), "a–b");
}

TEST(WorkflowDocument, JsonTextHasSortedKeysAndNoVersion) {
    TextActionSeq seq("Empty");
    const std::string text = seq.jsonString();
    EXPECT_EQ(text, R"({"Actions":[],"Icon":"flowchart","Id":")" + seq.id + R"(","Name":"Empty"})");
    auto back = TextActionSeq::fromJsonString(text);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->actionsArray.empty());
}

TEST(WorkflowDocument, ReadingRules) {
    struct Case {
        const char* name;
        const char* json;
        bool readable;
        const char* icon;
    };
    const Case cases[] = {
        {"no icon", R"({"Id":"A","Name":"n","Actions":[]})", true, "flowchart"},
        {"version ignored", R"j({"Id":"A","Name":"n","Icon":"i","APPVersion":"9(9)","Actions":[]})j", true, "i"},
        {"no name", R"({"Id":"A","Actions":[]})", false, ""},
        {"no id", R"({"Name":"n","Actions":[]})", false, ""},
        {"no actions", R"({"Id":"A","Name":"n"})", false, ""},
        {"actions not a list", R"({"Id":"A","Name":"n","Actions":{}})", false, ""},
        {"not an object", R"([1])", false, ""},
        {"not JSON", "not json", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto seq = TextActionSeq::fromJsonString(c.json);
        ASSERT_EQ(seq != nullptr, c.readable);
        EXPECT_EQ(seq ? seq->icon : "", c.icon);
    }
}

TEST(WorkflowDocument, UnknownActionTypesAreDroppedInOrder) {
    auto seq = TextActionSeq::fromJsonString(
        R"({"Id":"A","Name":"n","Actions":[{"Type":0,"Id":"1","ReplaceString":"a","WithString":"b","CaseSensitive":true},
            {"Type":99,"Id":"2"},{"Type":"x","Id":"3"},
            {"Type":0,"Id":"4","ReplaceString":"b","WithString":"c","CaseSensitive":true}]})");
    ASSERT_TRUE(seq);
    ASSERT_EQ(seq->actionsArray.size(), 2u);
    EXPECT_EQ(seq->actionsArray[0]->id, "1");
    EXPECT_EQ(seq->actionsArray[1]->id, "4");
    EXPECT_EQ(seq->run("a"), "c");
}

TEST(ExchangeFile, ExportAllOrOneUnderWorkflowsAsPrettyJson) {
    std::vector<TextActionSeqPtr> list = {replaceWorkflow("One", "1", "I", true),
                                          replaceWorkflow("Two", "2", "II", true)};
    const std::string all = exchangeJson(selectForExport(list, ""));
    EXPECT_NE(all.find("\n  \"workflows\""), std::string::npos) << all;
    auto parsed = json::parse(all);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->get("workflows")->asList().size(), 2u);
    EXPECT_EQ(*parsed->get("workflows")->asList()[0].get("APPVersion"), Value(appVersionString()));
    EXPECT_EQ(selectForExport(list, "all").size(), 2u);

    auto one = selectForExport(list, list[1]->id);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0]->name, "Two");
    EXPECT_TRUE(selectForExport(list, "no-such-id").empty());
}

TEST(ExchangeFile, ImportGivesFreshIdsAndTwiceGivesTwoCopies) {
    std::vector<TextActionSeqPtr> list = {replaceWorkflow("One", "1", "I", true),
                                          replaceWorkflow("Two", "2", "II", true)};
    const std::string text = exchangeJson(list);
    auto first = readExchangeText(text, ImportIds::fresh);
    auto second = readExchangeText(text, ImportIds::fresh);
    ASSERT_TRUE(first.loaded && second.loaded);
    ASSERT_EQ(first.workflows.size(), 2u);
    std::set<std::string> all = ids(first.workflows);
    all.merge(ids(second.workflows));
    all.merge(ids(list));
    EXPECT_EQ(all.size(), 6u);
    EXPECT_EQ(first.workflows[1]->name, "Two");
    EXPECT_TRUE(first.workflows[0]->allowToEdit);
    EXPECT_EQ(first.workflows[0]->run("1"), "I");

    auto kept = readExchangeText(text, ImportIds::keep);
    EXPECT_EQ(ids(kept.workflows), ids(list));
}

TEST(ExchangeFile, FailuresAndOddShapes) {
    struct Case {
        const char* name;
        const char* text;
        bool loaded;
        size_t count;
    };
    const Case cases[] = {
        {"not json", "{\"workflows\": [", false, 0},
        {"top level list", "[]", true, 0},
        {"no workflows key", "{\"other\": []}", true, 0},
        {"workflows not a list", "{\"workflows\": {}}", true, 0},
        {"bad entries skipped", R"({"workflows": [1, {"Name":"x"}, {"Id":"a","Name":"ok","Actions":[]}]})", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = readExchangeText(c.text, ImportIds::fresh);
        EXPECT_EQ(result.loaded, c.loaded);
        EXPECT_EQ(result.workflows.size(), c.count);
    }
    EXPECT_FALSE(readExchangeFile("/nonexistent/file.json", ImportIds::fresh).loaded);
}

TEST(DefaultWorkflows, ResourceLoadsWithStoredIdsEveryTime) {
    auto first = loadDefaultWorkflowList();
    auto second = loadDefaultWorkflowList();
    ASSERT_GE(first.size(), 6u);
    EXPECT_EQ(ids(first), ids(second));
    EXPECT_EQ(ids(first).size(), first.size());
    for (const auto& seq : first) {
        EXPECT_FALSE(seq->name.empty());
        EXPECT_FALSE(seq->actionsArray.empty()) << seq->name;
        EXPECT_TRUE(seq->allowToEdit);
    }
    auto tabs = findWorkflow(first, "Tabs to Spaces");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->run("a\tb"), "a    b");
}

TEST(DefaultWorkflows, FindByIdBeforeName) {
    auto a = replaceWorkflow("Shared", "a", "b", true);
    auto b = replaceWorkflow("Other", "a", "c", true);
    b->name = a->id; // a name that looks like another workflow's id
    std::vector<TextActionSeqPtr> list = {b, a};
    EXPECT_EQ(findWorkflow(list, a->id), a);
    EXPECT_EQ(findWorkflow(list, "Shared"), a);
    EXPECT_EQ(findWorkflow(list, "shared"), nullptr);
}
