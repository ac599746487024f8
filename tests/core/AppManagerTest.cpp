#include "core/AppManager.h"
#include "actions/lines/TextActionReplaceString.h"
#include "core/ActionFactory.h"
#include "core/ManualScheduler.h"
#include "support/ActionCases.h"
#include "support/Controller.h"

#include <gtest/gtest.h>

using namespace lexorra;

using lexorra::testing::Fixture;
using lexorra::testing::repeat;

TEST(AppManager, TypingIsDebouncedToOneComputationHalfASecondAfterTheLastKey) {
    Fixture f;
    f.startWithWorkflowSelected();
    std::string typed;
    for (char c : std::string("hello")) {
        typed += c;
        f.app->setInputString(typed);
        f.clock.advance(0.1);
    }
    EXPECT_EQ(f.counter->runs, 0);
    f.clock.advance(0.39);
    EXPECT_EQ(f.counter->runs, 0);
    f.clock.advance(0.02);
    EXPECT_EQ(f.counter->runs, 1);
    EXPECT_EQ(f.app->resultString(), "<hello>");
    EXPECT_FALSE(f.app->loadingResults());
    EXPECT_EQ(f.settings.values["SavedInputString"], Value("hello"));
}

TEST(AppManager, LiveResultsOffMeansOnlyExplicitRuns) {
    Fixture f;
    f.startWithWorkflowSelected();
    f.app->setLiveResults(false);
    EXPECT_EQ(f.settings.values["LiveResults"], Value(false));
    f.app->setInputString("abc");
    f.clock.advance(5);
    EXPECT_EQ(f.counter->runs, 0);
    f.app->runSelected();
    f.clock.runPending();
    EXPECT_EQ(f.app->resultString(), "<abc>");
}

TEST(AppManager, AWorkflowWithTheAIKindIsNotRecomputedOnTyping) {
    Fixture f;
    f.workflow->actionsArray.push_back(makeDefault(TextActionType::chatGPT));
    f.startWithWorkflowSelected();
    f.app->setPushActive(false);
    f.app->setInputString("abc");
    f.clock.advance(1);
    EXPECT_EQ(f.counter->runs, 0);
    EXPECT_TRUE(f.app->pushActive());
}

TEST(AppManager, SelectingAWorkflowClearsTheActionAndRecomputesLater) {
    Fixture f;
    f.app->startUp();
    f.app->setSelectedActionsSeq(f.app->actionsSeqArray().front());
    f.clock.advance(1);
    f.app->setInputString("x");
    f.clock.advance(1);
    f.counter->runs = 0;

    f.app->setSelectedworkflowSeq(f.workflow);
    EXPECT_FALSE(f.app->selectedActionsSeq());
    EXPECT_EQ(f.app->activeActionsSeq(), f.workflow);
    EXPECT_EQ(f.app->activeSeqType(), SeqType::workFlow);
    EXPECT_FALSE(f.app->pushActive());
    EXPECT_EQ(f.settings.values["ActiveActionsSeq"], Value(f.workflow->id));
    f.clock.advance(0.34);
    EXPECT_EQ(f.counter->runs, 0);
    EXPECT_TRUE(f.app->pushActive());
    f.clock.advance(0.02);
    EXPECT_EQ(f.counter->runs, 1);

    f.app->setSelectedworkflowSeq(f.workflow);
    f.clock.advance(1);
    EXPECT_EQ(f.counter->runs, 1);
}

TEST(AppManager, OverlappingComputationsPublishOnlyTheLaterOne) {
    Fixture f;
    f.startWithWorkflowSelected();
    f.clock.setRunBackgroundInline(false);
    f.app->setInputString("first");
    f.clock.advance(0.6);
    f.app->setInputString("second");
    f.clock.advance(0.6);
    // The first computation runs; while its action works, the second one starts and ends.
    f.counter->during = [&] {
        f.counter->during = nullptr;
        f.clock.runBackgroundTasks();
    };
    f.clock.runBackgroundTasks();
    EXPECT_TRUE(f.app->loadingResults());
    f.clock.runPending();
    EXPECT_EQ(f.app->resultString(), "<second>");
    EXPECT_FALSE(f.app->loadingResults());
    EXPECT_EQ(f.app->pendingUpdateTasks(), 0);
}

TEST(AppManager, StructureEditsAreDebouncedForOneSecond) {
    Fixture f;
    f.startWithWorkflowSelected();
    f.app->scheduleStructureUpdate();
    f.clock.advance(0.5);
    f.app->scheduleStructureUpdate();
    f.clock.advance(0.99);
    EXPECT_EQ(f.counter->runs, 0);
    f.clock.advance(0.02);
    EXPECT_EQ(f.counter->runs, 1);
}

TEST(AppManager, ClipboardRuns) {
    Fixture f;
    f.startWithWorkflowSelected();
    f.clipboard.content = std::nullopt; // an image only
    f.app->runActiveSequenceOnClipboard();
    ASSERT_EQ(f.notices.shown.size(), 1u);
    EXPECT_EQ(f.notices.shown[0], std::make_pair(std::string("No Text on Clipboard"), NoticeStyle::error));

    f.clipboard.content = "clip";
    f.app->runActiveSequenceOnClipboard();
    EXPECT_EQ(f.clipboard.content, "<clip>");
    EXPECT_EQ(f.app->inputString(), "clip");
    EXPECT_EQ(f.app->resultString(), "<clip>");
    EXPECT_EQ(f.notices.shown.back().first, "Transformed Text on Clipboard");

    // The popover run leaves input and result alone.
    f.clipboard.content = "other";
    f.app->runWorkflowOnClipboard(f.workflow->id);
    EXPECT_EQ(f.clipboard.content, "<other>");
    EXPECT_EQ(f.app->inputString(), "clip");
    f.clipboard.content = "";
    f.app->runWorkflowOnClipboard(f.workflow->id);
    EXPECT_EQ(f.notices.shown.back(), std::make_pair(std::string("No Text on Clipboard"), NoticeStyle::plain));

    // A workflow whose only action is disabled hands the text back unchanged.
    f.counter->setEnabled(false);
    f.clipboard.content = "same";
    f.app->runWorkflowOnClipboard(f.workflow->id);
    EXPECT_EQ(f.clipboard.content, "same");
    EXPECT_EQ(f.notices.shown.back().first, "Transformed Text on Clipboard");
}

TEST(AppManager, NoticeDurations) {
    EXPECT_DOUBLE_EQ(noticeDuration("No Text on Clipboard"), 2.0);
    EXPECT_NEAR(noticeDuration(std::string(50, 'x')), 3.5, 1e-9);
    EXPECT_DOUBLE_EQ(noticeDuration(std::string(500, 'x')), 5.0);
}

// The limits count characters (grapheme clusters), not bytes: multi-byte and combined
// characters right at the limit still count as one each.
TEST(AppManager, LiveRecomputationStopsAfter32999Characters) {
    const std::pair<std::string, bool> cases[] = {
        {std::string(32999, 'a'), true},    {std::string(33000, 'a'), false},
        {repeat("\xC3\xA9", 32999), true},  {repeat("\xC3\xA9", 33000), false},
        {repeat("e\xCC\x81", 32999), true}, {repeat("e\xCC\x81", 33000), false},
        {repeat("\r\n", 32999), true},      {"abc", true},
    };
    for (const auto& [input, live] : cases) {
        Fixture f;
        f.startWithWorkflowSelected();
        f.app->setInputString(input);
        f.clock.advance(1.0);
        EXPECT_EQ(f.counter->runs, live ? 1 : 0) << input.size() << " bytes";
        // Past the limit an explicit run still computes.
        f.app->runSelected();
        f.clock.runPending();
        EXPECT_EQ(f.counter->runs, live ? 2 : 1) << input.size() << " bytes";
    }
}

TEST(AppManager, SavedWorkflowAndInputBelow20000CharactersAreRestored) {
    const std::pair<std::string, bool> cases[] = {
        {std::string(19999, 'a'), true},
        {std::string(20000, 'a'), false},
        {repeat("\xC3\xA9", 19999), true},
        {repeat("\xC3\xA9", 20000), false},
        {"", true},
    };
    for (const auto& [saved, restored] : cases) {
        Fixture f;
        f.settings.values["SavedInputString"] = Value(saved);
        f.settings.values["ActiveActionsSeq"] = Value(f.workflow->id);
        f.app->startUp();
        EXPECT_EQ(f.app->inputString(), restored ? saved : "") << saved.size() << " bytes";
        EXPECT_EQ(f.app->selectedworkflowSeq(), f.workflow);
        f.clock.advance(1);
        EXPECT_EQ(f.app->resultString(), "<" + f.app->inputString() + ">") << saved.size() << " bytes";
    }
}
