#include "core/ActionFactory.h"
#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "core/SettingsStore.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lexorra;

namespace {

const TextActionType kinds[] = {TextActionType::trimLines, TextActionType::addPrefix, TextActionType::convertCase,
                                TextActionType::numberLines};

TextActionSeq fourSteps() {
    TextActionSeq seq("Four");
    for (auto kind : kinds)
        seq.actionsArray.push_back(makeDefault(kind));
    return seq;
}

// The order as the catalogue's raw values: 9 trimLines, 1 addPrefix, 3 convertCase, 4 numberLines.
std::vector<int> order(const TextActionSeq& seq) {
    std::vector<int> out;
    for (const auto& a : seq.actionsArray)
        out.push_back(rawValue(a->type));
    return out;
}

struct MoveCase {
    size_t from;
    size_t to;
    bool moved;
    std::vector<int> expected;
};

class SequenceMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(SequenceMove, EndsAtTheTargetIndexWithTheOthersInOrder) {
    auto seq = fourSteps();
    const auto& c = GetParam();
    const auto moving = c.moved ? seq.actionsArray[c.from] : nullptr;
    EXPECT_EQ(seq.moveAction(c.from, c.to), c.moved);
    EXPECT_EQ(order(seq), c.expected);
    EXPECT_EQ(c.moved ? seq.actionsArray[c.to] : nullptr, moving) << "the moved object itself, not a copy";
}

INSTANTIATE_TEST_SUITE_P(Cases, SequenceMove,
                         ::testing::Values(MoveCase{0, 3, true, {1, 3, 4, 9}},  // first to last
                                           MoveCase{3, 0, true, {4, 9, 1, 3}},  // last to first
                                           MoveCase{1, 2, true, {9, 3, 1, 4}},  // neighbours swap downwards
                                           MoveCase{2, 1, true, {9, 3, 1, 4}},  // and upwards
                                           MoveCase{0, 2, true, {1, 3, 9, 4}},  // across one
                                           MoveCase{3, 1, true, {9, 4, 1, 3}},  // back across one
                                           MoveCase{2, 2, false, {9, 1, 3, 4}}, // onto itself
                                           MoveCase{4, 0, false, {9, 1, 3, 4}}, // from past the end
                                           MoveCase{0, 4, false, {9, 1, 3, 4}}, // to past the end
                                           MoveCase{size_t(-1), 0, false, {9, 1, 3, 4}}));

TEST(SequenceMove, EmptyWorkflowHasNothingToMove) {
    TextActionSeq seq("Empty");
    EXPECT_FALSE(seq.moveAction(0, 0));
    EXPECT_TRUE(seq.actionsArray.empty());
}

class AppManagerMove : public ::testing::Test {
protected:
    void SetUp() override {
        app.startUp();
        clock.advance(5);
        workflow = app.createWorkflow("Moved");
        // Prefix "X" then lower case: the order shows in the result ("xa" against "Xa").
        workflow->actionsArray = {lexorra::testing::actionWith(TextActionType::addPrefix, "Prefix", Value("X")),
                                  lexorra::testing::actionWith(TextActionType::convertCase, "CaseType", Value(2))};
        app.saveWorkFlowsToUserDefaults(false);
        app.setSelectedworkflowSeq(workflow);
        clock.advance(1);
    }
    // The action kinds of the workflow as the shared store holds it.
    std::vector<int> storedOrder() {
        Settings reread;
        auto list = reread.value("SavedWorkFlows");
        std::vector<int> out;
        if (!list || !list->isList()) return out;
        for (const auto& w : list->asList()) {
            auto seq = TextActionSeq::fromDictionary(w.asMap());
            if (seq && seq->id == workflow->id) out = order(*seq);
        }
        return out;
    }

    lexorra::testing::TemporaryXdgHome home;
    ManualScheduler clock;
    Settings settings;
    StoredSettings standard{settings};
    AppManager app{{.scheduler = clock, .settings = standard, .stores = &settings}};
    TextActionSeqPtr workflow;
};

TEST_F(AppManagerMove, MoveIsSavedAndRecomputedAfterTheStructureDebounce) {
    app.setInputString("A");
    clock.advance(1);
    ASSERT_EQ(app.resultString(), "xa");
    EXPECT_EQ(storedOrder(), (std::vector<int>{1, 3}));

    ASSERT_TRUE(app.moveAction(workflow, 1, 0));
    EXPECT_EQ(order(*workflow), (std::vector<int>{3, 1}));
    EXPECT_EQ(storedOrder(), (std::vector<int>{3, 1})) << "saved at once";
    EXPECT_TRUE(app.disableUpdateResults()) << "inside the structure debounce";
    clock.advance(0.9);
    EXPECT_EQ(app.resultString(), "xa");
    clock.advance(0.2);
    EXPECT_FALSE(app.disableUpdateResults());
    EXPECT_EQ(app.resultString(), "Xa");
}

TEST_F(AppManagerMove, NoMoveWritesNothing) {
    const std::string stored = lexorra::testing::readFile(home.groupFile());
    EXPECT_FALSE(app.moveAction(workflow, 1, 1));
    EXPECT_FALSE(app.moveAction(workflow, 7, 0));
    EXPECT_FALSE(app.moveAction(nullptr, 0, 1));
    EXPECT_FALSE(app.disableUpdateResults());
    EXPECT_EQ(lexorra::testing::readFile(home.groupFile()), stored);
}

} // namespace
