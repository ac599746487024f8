#include "actions/lines/TextActionReplaceString.h"
#include "core/ActionFactory.h"
#include "core/ManualScheduler.h"
#include "core/Scheduler.h"

#include <gtest/gtest.h>

#include <regex>

using namespace lexorra;

namespace {

class FakeHost : public ResultsHost {
public:
    explicit FakeHost(ManualScheduler& scheduler) : clock(scheduler) {}
    ManualScheduler& clock;
    std::vector<double> updates;
    std::vector<bool> saves;
    Scheduler& scheduler() override { return clock; }
    void updateResults(bool live, bool copyAfter) override {
        EXPECT_TRUE(live);
        EXPECT_FALSE(copyAfter);
        updates.push_back(clock.now());
    }
    void saveWorkFlowsToUserDefaults(bool updateDB) override { saves.push_back(updateDB); }
};

bool isUpperUuid(const std::string& s) {
    static const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    return std::regex_match(s, form);
}

} // namespace

TEST(TextAction, IdsAreFreshUpperCaseUuids) {
    auto a = makeDefault(TextActionType::trimLines);
    auto b = makeDefault(TextActionType::trimLines);
    EXPECT_TRUE(isUpperUuid(a->id));
    EXPECT_TRUE(isUpperUuid(a->updateTaskID));
    EXPECT_NE(a->id, b->id);
    EXPECT_NE(a->id, a->updateTaskID);
}

TEST(TextAction, DisablingCollapsesDetailsAndEnablingLeavesThemCollapsed) {
    auto a = makeDefault(TextActionType::replaceString);
    ASSERT_TRUE(a->showDetails());
    std::vector<std::string> seen;
    a->addObserver([&](TextAction&, std::string_view field) { seen.emplace_back(field); });
    a->setEnabled(false);
    EXPECT_FALSE(a->showDetails());
    a->setEnabled(true);
    EXPECT_FALSE(a->showDetails());
    EXPECT_EQ(seen, (std::vector<std::string>{"enabled", "showDetails", "enabled"}));
}

TEST(TextAction, IdentityIsTheIdAlone) {
    auto a = makeDefault(TextActionType::trimLines);
    auto b = makeDefault(TextActionType::convertCase);
    EXPECT_FALSE(*a == *b);
    b->id = a->id;
    EXPECT_TRUE(*a == *b);
    EXPECT_EQ(TextActionHash()(*a), TextActionHash()(*b));
}

// The options and the fresh id a copy has are checked for every kind with the catalogue.
TEST(TextAction, CopyKeepsNameAndFlagsButNotAStaleRegexError) {
    auto original = std::make_shared<TextActionReplaceString>();
    original->setName("Custom");
    original->setEnabled(false);
    original->notValidRegEx = true;
    auto copied = original->copy();
    auto* c = dynamic_cast<TextActionReplaceString*>(copied.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->name(), "Custom");
    EXPECT_FALSE(c->enabled());
    EXPECT_FALSE(c->showDetails()) << "a disabled action shows no details";
    EXPECT_EQ(c->hasOptions(), original->hasOptions());
    EXPECT_FALSE(c->notValidRegEx);
}

TEST(TextAction, RestoringTakesTheStoredIdAndTheTitleAsName) {
    Dictionary d = makeDictionary();
    d.set("Type", 0);
    d.set("Name", "Something else");
    d.set("Id", "ABC");
    auto a = actionFromDictionary(d);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->name(), "Replace Text");
    EXPECT_EQ(a->id, "ABC");
}

TEST(TextAction, OptionEditsAreDebouncedPerAction) {
    ManualScheduler clock;
    FakeHost host(clock);
    auto a = makeDefault(TextActionType::replaceString);
    a->scheduleResultsUpdate(host);
    host.clock.advance(0.5);
    a->scheduleResultsUpdate(host);
    host.clock.advance(0.99);
    EXPECT_TRUE(host.updates.empty());
    host.clock.advance(0.02);
    ASSERT_EQ(host.updates.size(), 1u);
    EXPECT_NEAR(host.updates[0], 1.5, 1e-9);
    EXPECT_EQ(host.saves, (std::vector<bool>{true}));
    host.clock.advance(5);
    EXPECT_EQ(host.updates.size(), 1u);
}

TEST(TextAction, AnOptionEditPendingWhenItsHostGoesIsDropped) {
    ManualScheduler clock;
    auto a = makeDefault(TextActionType::replaceString);
    auto host = std::make_unique<FakeHost>(clock);
    a->scheduleResultsUpdate(*host);
    host.reset();
    clock.advance(1.0); // falls due with the host freed: the sanitizer build sees any use of it
    host = std::make_unique<FakeHost>(clock);
    a->scheduleResultsUpdate(*host);
    clock.advance(1.0);
    EXPECT_EQ(host->updates.size(), 1u);
}

TEST(TextAction, SetOptionChecksTheDeclaration) {
    auto a = makeDefault(TextActionType::replaceString);
    EXPECT_TRUE(a->setOption("isRegEx", Value(true)));
    EXPECT_FALSE(a->setOption("isRegEx", Value("yes")));
    EXPECT_FALSE(a->setOption("NoSuchKey", Value(true)));
    EXPECT_EQ(a->optionValue("isRegEx"), Value(true));
    const OptionDecl* decl = a->option("isRegEx");
    ASSERT_NE(decl, nullptr);
    EXPECT_EQ(decl->parse("0"), Value(false));
    EXPECT_FALSE(decl->parse("maybe"));
}
