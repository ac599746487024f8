#include "core/RunHistory.h"
#include "core/ActionFactory.h"
#include "support/Controller.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

TextActionSeqPtr workflowOf(std::initializer_list<TextActionType> kinds, const std::string& name = "W") {
    auto seq = std::make_shared<TextActionSeq>(name);
    for (auto kind : kinds)
        seq->actionsArray.push_back(makeDefault(kind));
    return seq;
}

} // namespace

TEST(RunHistory, RunsWithEncryptionAnywhereOrAnInputOverOneMegabyteAreNeverKept) {
    auto secret = workflowOf({TextActionType::trimLines, TextActionType::encryption}, "Secret");
    auto callsSecret = workflowOf({TextActionType::runWorkflow});
    callsSecret->actionsArray[0]->setOption("WorkflowID", Value(secret->id));
    auto callsCaller = workflowOf({TextActionType::runWorkflow});
    callsCaller->actionsArray[0]->setOption("WorkflowID", Value(callsSecret->id));
    auto switchedOff = workflowOf({TextActionType::encryption});
    switchedOff->actionsArray[0]->setEnabled(false);
    const auto lookup = lookupIn({secret, callsSecret, callsCaller});
    const std::string big(RunHistory::inputLimit, 'x');
    struct Row {
        const char* name;
        TextActionSeqPtr seq;
        std::string input;
        bool kept;
    };
    const Row rows[] = {
        {"plain, 1 MB exactly", workflowOf({TextActionType::trimLines}), big, true},
        {"plain, a byte over 1 MB", workflowOf({TextActionType::trimLines}), big + "x", false},
        {"plain, nothing in", workflowOf({TextActionType::trimLines}), "", false},
        {"encryption step", secret, "a", false},
        {"encryption one workflow down", callsSecret, "a", false},
        {"encryption two workflows down", callsCaller, "a", false},
        {"switched-off encryption step", switchedOff, "a", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RunHistory::recordable(*row.seq, row.input, lookup), row.kept) << row.name;
}

TEST(RunHistory, KeepsTheNewestRunsWithinCountAndSizeAndSettlesLiveTyping) {
    TemporaryXdgHome home;
    struct Step {
        const char* sequence;
        double time;
        std::string input;
    };
    struct Row {
        const char* name;
        RunHistory::Limits limits;
        std::vector<Step> runs;
        std::vector<std::string> kept; // newest first
    };
    const std::string k150(150, 'k');
    const Row rows[] = {
        {"count", {.runs = 2}, {{"a", 0, "1"}, {"b", 100, "2"}, {"c", 200, "3"}}, {"3", "2"}},
        {"size",
         {.bytes = 500},
         {{"a", 0, k150 + "1"}, {"b", 100, k150 + "2"}, {"c", 200, k150 + "3"}, {"d", 300, k150 + "4"}},
         {k150 + "4", k150 + "3", k150 + "2"}},
        {"typing settles", {}, {{"a", 1, "hel"}, {"a", 2, "hello"}, {"a", 3, "hallo"}}, {"hallo"}},
        {"another text is a run of its own",
         {},
         {{"a", 1, "hello world"}, {"a", 2, "something else"}},
         {"something else", "hello world"}},
        {"another sequence too", {}, {{"a", 1, "hello"}, {"b", 2, "hello!"}}, {"hello!", "hello"}},
        {"and a later run", {}, {{"a", 1, "hello"}, {"a", 30, "hello!"}}, {"hello!", "hello"}},
    };
    int n = 0;
    for (const auto& row : rows) {
        RunHistory history(home.data() / ("h" + std::to_string(n++) + ".sqlite3"), row.limits);
        for (const auto& run : row.runs)
            history.record({.time = 1e9 + run.time, .sequenceId = run.sequence, .input = run.input});
        EXPECT_EQ(history.flush(), "") << row.name;
        std::vector<std::string> kept;
        for (const auto& run : history.entries())
            kept.push_back(run.input);
        EXPECT_EQ(kept, row.kept) << row.name;
    }
}

TEST(RunHistory, FileIsPrivateAndDeletingLeavesNoTextBehind) {
    TemporaryXdgHome home;
    const auto file = RunHistory::defaultPath();
    EXPECT_EQ(file, home.data() / "lexorra" / "history.sqlite3");
    // Whether the words are in the database or its journal files.
    auto kept = [&](std::string_view words) {
        std::string all;
        for (const char* suffix : {"", "-wal", "-journal"}) {
            std::ifstream in(file.string() + suffix, std::ios::binary);
            all += std::string(std::istreambuf_iterator<char>(in), {});
        }
        return all.find(words) != std::string::npos;
    };
    RunHistory history;
    history.record({.sequenceId = "a", .input = "my very private words", .result = "done"});
    history.record({.sequenceId = "b", .input = "other words", .result = "done"});
    ASSERT_EQ(history.flush(), "");
    EXPECT_TRUE(kept("my very private words"));
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat info {};
        const auto path = file.string() + suffix;
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
    }
    const auto runs = history.entries();
    ASSERT_EQ(runs.size(), 2u);
    history.remove(runs[1].id); // the older one
    EXPECT_EQ(history.entries().size(), 1u);
    EXPECT_FALSE(kept("my very private words"));
    EXPECT_TRUE(kept("other words"));
    history.clear();
    EXPECT_TRUE(history.entries().empty());
    EXPECT_FALSE(kept("other words"));
}

TEST(RunHistory, TheControllerKeepsPublishedResultsOnlyWhenAsked) {
    TemporaryXdgHome home;
    Fixture f;
    auto secret = workflowOf({TextActionType::encryption}, "Secret");
    f.app->loadWorkflowsHook = [&](AppManager& a) { a.setWorkflowsSeqArray({f.workflow, secret}); };
    f.startWithWorkflowSelected();
    auto runs = [&] { return f.app->runHistory().entries().size(); };
    f.app->setInputString("first");
    f.clock.advance(1);
    EXPECT_EQ(runs(), 0u);

    f.app->setKeepRunHistory(true);
    f.app->setInputString("second");
    f.clock.advance(1);
    ASSERT_EQ(runs(), 1u);
    const auto kept = f.app->runHistory().entries().front();
    EXPECT_EQ(f.app->runHistory().entry(kept.id)->result, "<second>");

    f.app->setSelectedworkflowSeq(secret);
    f.app->setInputString("a secret");
    f.clock.advance(1);
    EXPECT_EQ(runs(), 1u);

    ASSERT_TRUE(f.app->restoreRun(kept.id));
    EXPECT_EQ(f.app->inputString(), "second");
    EXPECT_EQ(f.app->selectedworkflowSeq(), f.workflow);
}
