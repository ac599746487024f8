#include "core/AppManager.h"
#include "support/MemorySettings.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <queue>
#include <random>
#include <thread>

using namespace lexorra;

namespace {

// Main-thread tasks on a virtual clock run by the test thread; background tasks on a real
// worker thread, so computations really overlap with edits.
class ThreadedScheduler : public Scheduler {
public:
    ThreadedScheduler() : m_worker([this] { work(); }) {}
    ~ThreadedScheduler() override {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_worker.join();
    }
    void postMain(std::function<void()> task) override { postMainAfter(0, std::move(task)); }
    void postMainAfter(double seconds, std::function<void()> task) override {
        std::lock_guard lock(m_mutex);
        m_main.emplace(std::make_pair(m_now + seconds, m_sequence++), std::move(task));
    }
    void runBackground(std::function<void()> task) override {
        {
            std::lock_guard lock(m_mutex);
            m_background.push(std::move(task));
            ++m_busy;
        }
        m_wake.notify_all();
    }
    // Runs the main-thread tasks due up to now + seconds, on the calling thread.
    void advance(double seconds) {
        const double until = m_now + seconds;
        while (true) {
            std::function<void()> task;
            {
                std::lock_guard lock(m_mutex);
                if (m_main.empty() || m_main.begin()->first.first > until) break;
                auto node = m_main.extract(m_main.begin());
                m_now = std::max(m_now, node.key().first);
                task = std::move(node.mapped());
            }
            task();
        }
        std::lock_guard lock(m_mutex);
        m_now = until;
    }
    void waitIdle() {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_busy == 0; });
    }

private:
    void work() {
        while (true) {
            std::function<void()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || !m_background.empty(); });
                if (m_stop && m_background.empty()) return;
                task = std::move(m_background.front());
                m_background.pop();
            }
            task();
            {
                std::lock_guard lock(m_mutex);
                --m_busy;
            }
            m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::map<std::pair<double, uint64_t>, std::function<void()>> m_main;
    std::queue<std::function<void()>> m_background;
    double m_now = 0;
    uint64_t m_sequence = 0;
    int m_busy = 0;
    bool m_stop = false;
    std::thread m_worker;
};

using lexorra::testing::MemorySettings;

// Tags its output with the sequence's name, takes a little while, and remembers the input
// of the computation that started last.
class TaggingAction : public TextAction {
public:
    explicit TaggingAction(std::string tag) : TextAction(TextActionType::trimLines), m_tag(std::move(tag)) {}
    std::string transform(std::string_view text) const override {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return m_tag + ":" + std::string(text);
    }

private:
    std::string m_tag;
};

} // namespace

TEST(AppManagerStress, RandomEditsAndSelectionsNeverPublishAStaleResult) {
    ThreadedScheduler clock;
    MemorySettings settings;
    RunToken token;
    std::vector<TextActionSeqPtr> sequences;
    for (const char* tag : {"A", "B", "C"}) {
        auto seq = std::make_shared<TextActionSeq>(tag);
        seq->actionsArray = {std::make_shared<TaggingAction>(tag)};
        sequences.push_back(seq);
    }
    AppManager app({.scheduler = clock, .settings = settings, .runToken = &token});
    app.loadWorkflowsHook = [&](AppManager& a) { a.setWorkflowsSeqArray(sequences); };
    app.startUp();

    // Every published result must belong to the active sequence.
    int wrongSequence = 0;
    app.addObserver([&](std::string_view field) {
        if (field != "resultString" || !app.activeActionsSeq()) return;
        if (app.resultString().rfind(app.activeActionsSeq()->name + ":", 0) != 0) ++wrongSequence;
    });

    std::mt19937 rng(7);
    std::string input;
    for (int i = 0; i < 3000; ++i) {
        switch (rng() % 4) {
        case 0: app.setSelectedworkflowSeq(sequences[rng() % sequences.size()]); break;
        default: input += static_cast<char>('a' + rng() % 26); app.setInputString(input); break;
        }
        clock.advance((rng() % 700) / 1000.0);
        if (rng() % 5 == 0) std::this_thread::sleep_for(std::chrono::microseconds(rng() % 400));
    }
    // Let everything settle.
    for (int i = 0; i < 20; ++i) {
        clock.advance(1.0);
        clock.waitIdle();
    }
    clock.advance(1.0);
    EXPECT_EQ(wrongSequence, 0);
    EXPECT_FALSE(app.loadingResults());
    EXPECT_EQ(app.pendingUpdateTasks(), 0);
    ASSERT_TRUE(app.activeActionsSeq());
    EXPECT_EQ(app.resultString(), app.activeActionsSeq()->name + ":" + input);
}
