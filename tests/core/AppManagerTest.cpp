#include "actions/lines/TextActionReplaceString.h"
#include "core/ActionFactory.h"
#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "support/MemorySettings.h"

#include <gtest/gtest.h>

#include <map>

using namespace lexorra;

namespace {

using lexorra::testing::MemorySettings;

class FakeClipboard : public Clipboard {
public:
    std::optional<std::string> content;
    std::vector<unsigned char> image;
    std::optional<std::string> text() override { return content; }
    void clear() override {
        content.reset();
        image.clear();
    }
    void setText(const std::string& t) override { content = t; }
    void setPng(const std::vector<unsigned char>& png) override { image = png; }
};

class RecordingNotices : public Notices {
public:
    std::vector<std::pair<std::string, NoticeStyle>> shown;
    void show(const std::string& message, NoticeStyle style, double) override { shown.emplace_back(message, style); }
};

// Counts its runs and marks its output, so each computation is visible.
class CountingAction : public TextAction {
public:
    CountingAction() : TextAction(TextActionType::trimLines) {}
    mutable int runs = 0;
    std::function<void()> during;
    std::string transform(std::string_view text) const override {
        ++runs;
        if (during) during();
        return "<" + std::string(text) + ">";
    }
};

struct Fixture {
    ManualScheduler clock;
    MemorySettings settings;
    FakeClipboard clipboard;
    RecordingNotices notices;
    RunToken token;
    std::unique_ptr<AppManager> app;
    std::shared_ptr<CountingAction> counter = std::make_shared<CountingAction>();
    TextActionSeqPtr workflow = std::make_shared<TextActionSeq>("Counting");

    Fixture() {
        workflow->actionsArray = {counter};
        app = std::make_unique<AppManager>(AppManager::Services{
            .scheduler = clock, .settings = settings, .clipboard = &clipboard, .notices = &notices, .runToken = &token});
        app->loadWorkflowsHook = [this](AppManager& a) { a.setWorkflowsSeqArray({workflow}); };
    }
    void startWithWorkflowSelected() {
        app->startUp();
        app->setSelectedworkflowSeq(workflow);
        clock.advance(1.0);
        counter->runs = 0;
    }
};

} // namespace

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

TEST(AppManager, LongSavedInputIsNotRestoredAndLongInputIsNotLive) {
    Fixture f;
    f.settings.values["SavedInputString"] = Value(std::string(25000, 'a'));
    f.app->startUp();
    EXPECT_EQ(f.app->inputString(), "");

    Fixture g;
    g.settings.values["SavedInputString"] = Value(std::string("kept"));
    g.settings.values["ActiveActionsSeq"] = Value(g.workflow->id);
    g.app->startUp();
    EXPECT_EQ(g.app->inputString(), "kept");
    EXPECT_EQ(g.app->selectedworkflowSeq(), g.workflow);
    g.clock.advance(1);
    EXPECT_EQ(g.app->resultString(), "<kept>");

    g.counter->runs = 0;
    g.app->setInputString(std::string(33000, 'b'));
    g.clock.advance(2);
    EXPECT_EQ(g.counter->runs, 0);
    g.app->runSelected();
    g.clock.runPending();
    EXPECT_EQ(g.counter->runs, 1);
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
