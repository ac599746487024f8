#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "support/MemorySettings.h"

#include <gtest/gtest.h>

#include <map>

using namespace lexorra;

namespace {

using lexorra::testing::MemorySettings;

class CountingAction : public TextAction {
public:
    CountingAction() : TextAction(TextActionType::trimLines) {}
    mutable int runs = 0;
    std::string transform(std::string_view text) const override {
        ++runs;
        return std::string(text);
    }
};

std::string repeat(std::string_view piece, size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) s += piece;
    return s;
}

struct Controller {
    ManualScheduler clock;
    MemorySettings settings;
    RunToken token;
    std::shared_ptr<CountingAction> counter = std::make_shared<CountingAction>();
    TextActionSeqPtr workflow = std::make_shared<TextActionSeq>("Counting");
    std::unique_ptr<AppManager> app;

    Controller() {
        workflow->actionsArray = {counter};
        app = std::make_unique<AppManager>(
            AppManager::Services{.scheduler = clock, .settings = settings, .runToken = &token});
        app->loadWorkflowsHook = [this](AppManager& a) { a.setWorkflowsSeqArray({workflow}); };
    }
};

// The limits count characters (grapheme clusters), not bytes: multi-byte and combined
// characters right at the limit still count as one each.
TEST(InputLengthLimit, LiveRecomputationStopsAfter32999Characters) {
    struct Case {
        const char* what;
        std::string input;
        bool live;
    };
    const std::vector<Case> cases = {
        {"ASCII at the limit", std::string(32999, 'a'), true},
        {"ASCII one over", std::string(33000, 'a'), false},
        {"two-byte letters at the limit", repeat("\xC3\xA9", 32999), true},
        {"two-byte letters one over", repeat("\xC3\xA9", 33000), false},
        {"letters with a combining accent at the limit", repeat("e\xCC\x81", 32999), true},
        {"letters with a combining accent one over", repeat("e\xCC\x81", 33000), false},
        {"CR LF pairs at the limit", repeat("\r\n", 32999), true},
        {"short", "abc", true},
    };
    for (const Case& c : cases) {
        Controller s;
        s.app->startUp();
        s.app->setSelectedworkflowSeq(s.workflow);
        s.clock.advance(1.0);
        s.counter->runs = 0;
        s.app->setInputString(c.input);
        s.clock.advance(1.0);
        EXPECT_EQ(s.counter->runs, c.live ? 1 : 0) << c.what;
    }
}

TEST(InputLengthLimit, SavedInputIsRestoredBelow20000Characters) {
    struct Case {
        const char* what;
        std::string saved;
        bool restored;
    };
    const std::vector<Case> cases = {
        {"ASCII one under", std::string(19999, 'a'), true},
        {"ASCII at the limit", std::string(20000, 'a'), false},
        {"two-byte letters one under", repeat("\xC3\xA9", 19999), true},
        {"two-byte letters at the limit", repeat("\xC3\xA9", 20000), false},
        {"empty", "", true},
    };
    for (const Case& c : cases) {
        Controller s;
        s.settings.values["SavedInputString"] = Value(c.saved);
        s.app->startUp();
        EXPECT_EQ(s.app->inputString() == c.saved, c.restored) << c.what;
        if (!c.restored) {
            EXPECT_EQ(s.app->inputString(), "") << c.what;
        }
    }
}

} // namespace
