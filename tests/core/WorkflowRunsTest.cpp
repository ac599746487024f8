#include "core/WorkflowRuns.h"
#include "core/ActionFactory.h"
#include "core/WorkflowDocuments.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

using namespace lexorra;
using lexorra::testing::replaceWorkflow;

namespace {

TextActionSeqPtr calling(const std::string& name, const std::string& target) {
    auto seq = std::make_shared<TextActionSeq>(name);
    auto step = makeDefault(TextActionType::runWorkflow);
    step->setOption("WorkflowID", Value(target));
    seq->actionsArray.push_back(step);
    return seq;
}

} // namespace

TEST(WorkflowRuns, NestedRunsCyclesAndMissingTargets) {
    auto inner = replaceWorkflow("Inner", "a", "b");
    auto outer = calling("Outer", inner->id);
    outer->actionsArray.push_back(makeDefault(TextActionType::trimLines));
    auto self = calling("Self", "");
    self->actionsArray.front()->setOption("WorkflowID", Value(self->id));
    auto ping = calling("Ping", ""), pong = calling("Pong", "");
    ping->actionsArray.front()->setOption("WorkflowID", Value(pong->id));
    pong->actionsArray.front()->setOption("WorkflowID", Value(ping->id));
    std::vector<TextActionSeqPtr> list{inner, outer, self, ping, pong};
    RunEnvironment environment(lookupIn(list));

    EXPECT_EQ(outer->run(" aaa "), "bbb");
    EXPECT_EQ(self->run("x"), markers::workflowRunsItself);
    EXPECT_EQ(ping->run("x"), markers::workflowRunsItself);
    EXPECT_EQ(calling("Lost", "gone-id")->run("x"), " -- No workflow with the id gone-id -- ");
    EXPECT_TRUE(reaches(*ping, pong->id, lookupIn(list)));
    EXPECT_FALSE(reaches(*inner, outer->id, lookupIn(list)));
}

// A traced run gives the same result as a plain one, and one record per step, nested ones
// named by their path, each holding what the steps up to it give.
TEST(WorkflowRuns, TraceRecordsEveryStepInTheSamePass) {
    auto list = loadDefaultWorkflowList();
    auto callsFirst = calling("Calls the first", list.front()->id);
    list.push_back(callsFirst);
    auto qrThenTrim = std::make_shared<TextActionSeq>("QR code, then a step that drops the marker");
    qrThenTrim->actionsArray = {makeDefault(TextActionType::generateQRCode), makeDefault(TextActionType::trimLines)};
    list.push_back(qrThenTrim);
    const std::vector<std::string> inputs = {"", "  b\ta \n\na\n", "{\"k\": [1, 2]}", "x,y\n1,2\n", "Ünïcödé 42\r\n"};
    for (const auto& workflow : list) {
        for (const auto& input : inputs) {
            std::vector<StepRecord> trace;
            {
                RunEnvironment environment(lookupIn(list), &trace);
                workflow->run(input);
            }
            RunEnvironment environment(lookupIn(list));
            const std::string plain = workflow->run(input);
            ASSERT_FALSE(trace.empty()) << workflow->name;
            EXPECT_EQ(trace.back().output, plain) << workflow->name;
            EXPECT_EQ(trace.back().path, std::to_string(workflow->actionsArray.size()));
            for (const auto& record : trace) {
                if (record.path.find('.') != std::string::npos) continue;
                auto upToStep = workflow->copy();
                upToStep->actionsArray.resize(static_cast<size_t>(record.step));
                EXPECT_EQ(record.output, upToStep->run(input)) << workflow->name << ", step " << record.step;
            }
        }
    }
    std::vector<StepRecord> trace;
    RunEnvironment environment(lookupIn(list), &trace);
    callsFirst->run("a\tb");
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].path, "1.1");
    EXPECT_EQ(trace[1].path, "1");
    EXPECT_EQ(trace[1].kind, TextActionType::runWorkflow);
}

TEST(WorkflowRuns, ExportTakesUsedWorkflowsAlongAndImportRelinksThem) {
    auto shared = replaceWorkflow("Shared", "a", "b");
    auto left = calling("Left", shared->id), right = calling("Right", shared->id);
    auto top = calling("Top", left->id);
    top->actionsArray.push_back(calling("", right->id)->actionsArray.front());
    const std::vector<TextActionSeqPtr> list{top, left, right, shared, replaceWorkflow("Unused", "", "")};

    const auto exported = selectForExport(list, top->id);
    ASSERT_EQ(exported.size(), 4u) << "each used workflow once, the unused one not";
    auto imported = readExchangeText(exchangeJson(exported), ImportIds::fresh).workflows;
    ASSERT_EQ(imported.size(), 4u);
    EXPECT_NE(imported[0]->id, top->id);
    RunEnvironment environment(lookupIn(imported));
    EXPECT_EQ(imported[0]->run("aa"), "bb");
    for (const auto& workflow : imported)
        for (const auto& action : workflow->actionsArray)
            if (action->type == TextActionType::runWorkflow) {
                EXPECT_TRUE(findWorkflow(imported, action->optionValue("WorkflowID").asString()));
            }
}
