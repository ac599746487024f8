#pragma once

#include "core/AppManager.h"
#include "core/ManualScheduler.h"
#include "support/MemorySettings.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexorra::testing {

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

// A controller on a manual clock with its settings, clipboard and notices in memory, whose one
// workflow holds an action that counts its runs.
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
        app = std::make_unique<AppManager>(AppManager::Services{.scheduler = clock,
                                                                .settings = settings,
                                                                .clipboard = &clipboard,
                                                                .notices = &notices,
                                                                .runToken = &token});
        app->loadWorkflowsHook = [this](AppManager& a) { a.setWorkflowsSeqArray({workflow}); };
    }
    void startWithWorkflowSelected() {
        app->startUp();
        app->setSelectedworkflowSeq(workflow);
        clock.advance(1.0);
        counter->runs = 0;
    }
};

} // namespace lexorra::testing
