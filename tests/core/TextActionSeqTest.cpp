#include "core/TextActionSeq.h"
#include "actions/lines/TextActionReplaceString.h"
#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/RunToken.h"
#include "core/TextFile.h"
#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lexorra;

namespace {

// Records what it receives and can renew the run token while it runs.
class ProbeAction : public TextAction {
public:
    explicit ProbeAction(std::string appended, TextActionType type = TextActionType::trimLines)
        : TextAction(type), suffix(std::move(appended)) {}
    mutable std::vector<std::string> received;
    RunToken* renewWhileRunning = nullptr;
    std::string suffix;
    std::string transform(std::string_view text) const override {
        received.emplace_back(text);
        if (renewWhileRunning) renewWhileRunning->renew();
        return std::string(text) + suffix;
    }
};

} // namespace

TEST(Runner, AppliesEnabledActionsInOrder) {
    TextActionSeq seq("w");
    auto a = std::make_shared<ProbeAction>("1");
    auto b = std::make_shared<ProbeAction>("2");
    auto c = std::make_shared<ProbeAction>("3");
    b->setEnabled(false);
    seq.actionsArray = {a, b, c};
    RunToken token;
    EXPECT_EQ(seq.run("x", token), "x13");
    EXPECT_TRUE(b->received.empty());
    EXPECT_EQ(c->received, (std::vector<std::string>{"x1"}));
}

TEST(Runner, StaleTokenCancelsBeforeTheNextAction) {
    RunToken token;
    TextActionSeq seq("w");
    auto first = std::make_shared<ProbeAction>("1");
    auto second = std::make_shared<ProbeAction>("2");
    first->renewWhileRunning = &token;
    seq.actionsArray = {first, second};
    EXPECT_EQ(seq.run("x", token), cancellationMarker);
    EXPECT_TRUE(second->received.empty());

    TextActionSeq empty("e");
    EXPECT_EQ(empty.run("keep", token), "keep");
}

TEST(Runner, QrMarkerIsStrippedBeforeOtherKindsOnly) {
    RunToken token;
    TextActionSeq seq("w");
    auto plain = std::make_shared<ProbeAction>("");
    seq.actionsArray = {plain};
    EXPECT_EQ(seq.run("Ab[<_qr-CODE_>]c", token), "Abc");
    EXPECT_EQ(plain->received.front(), "Abc");

    auto qr = std::make_shared<ProbeAction>("", TextActionType::generateQRCode);
    TextActionSeq qrSeq("q");
    qrSeq.actionsArray = {qr};
    qrSeq.run("Ab[<_QR-Code_>]c", token);
    EXPECT_EQ(qr->received.front(), "Ab[<_QR-Code_>]c");
    EXPECT_EQ(removeQrMarker("[<_QR-Code_>][<_qr-code_>]x[<_QR"), "x[<_QR");
}

TEST(Runner, CopyMakesFreshIdsWithTheSameOptions) {
    TextActionSeq seq("Tidy");
    seq.icon = "star";
    seq.allowToEdit = true;
    auto r = std::make_shared<TextActionReplaceString>();
    r->replaceString = "a";
    seq.actionsArray = {r, makeDefault(TextActionType::trimLines), makeDefault(TextActionType::convertCase)};
    auto copy = seq.copy();
    EXPECT_NE(copy->id, seq.id);
    EXPECT_EQ(copy->name, "Tidy");
    EXPECT_EQ(copy->icon, "star");
    EXPECT_TRUE(copy->allowToEdit);
    ASSERT_EQ(copy->actionsArray.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(copy->actionsArray[i]->id, seq.actionsArray[i]->id);
        EXPECT_EQ(copy->actionsArray[i]->type, seq.actionsArray[i]->type);
    }
    EXPECT_EQ(copy->actionsArray[0]->optionValue("ReplaceString"), Value("a"));
}

TEST(Runner, RunFileDetectsEncodingsAndRejectsEmptyOrMissingFiles) {
    const lexorra::testing::TemporaryXdgHome home;
    const auto writeTemp = [&](const char* name, const std::string& bytes) {
        lexorra::testing::writeFile(home.root / name, bytes);
        return home.root / name;
    };
    TextActionSeq seq("w");
    seq.actionsArray = {std::make_shared<ProbeAction>("!")};
    EXPECT_EQ(seq.runFile(writeTemp("utf8", "h\xC3\xA9")), "h\xC3\xA9!");
    EXPECT_EQ(seq.runFile(writeTemp("bom8", "\xEF\xBB\xBFok")), "ok!");
    EXPECT_EQ(seq.runFile(writeTemp("utf16le", std::string("\xFF\xFEh\0\xE9\0", 6))), "h\xC3\xA9!");
    EXPECT_EQ(seq.runFile(writeTemp("utf16be", std::string("\xFE\xFF\0h\0\xE9", 6))), "h\xC3\xA9!");
    EXPECT_EQ(seq.runFile(writeTemp("cp1252", "caf\xE9 \x80")), "caf\xC3\xA9 \xE2\x82\xAC!");
    EXPECT_FALSE(seq.runFile(writeTemp("empty", "")));
    EXPECT_FALSE(seq.runFile("/nonexistent/lexorra/file.txt"));
    EXPECT_FALSE(seq.runFile(std::filesystem::temp_directory_path()));
}

TEST(BuiltInSequences, SortedByLowerCasedNameWithFixedIds) {
    auto without = makeBuiltInSequences(false);
    auto with = makeBuiltInSequences(true);
    ASSERT_EQ(with.size(), without.size() + 1);
    std::vector<std::string> names;
    for (size_t i = 0; i < 5; ++i)
        names.push_back(with[i]->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Add Prefix", "Add Suffix", "AI Conversion", "Beautify JSON ",
                                               "Beautify XML "}));
    for (const auto& seq : without)
        EXPECT_NE(seq->name, "AI Conversion");
    for (const auto& seq : with) {
        ASSERT_EQ(seq->actionsArray.size(), 1u);
        EXPECT_EQ(seq->id, builtInSequenceId(seq->actionsArray[0]->type));
        EXPECT_EQ(seq->icon, icon(seq->actionsArray[0]->type));
        EXPECT_FALSE(seq->allowToEdit);
    }
    EXPECT_EQ(builtInSequenceId(TextActionType::generateQRCode), "x4606784-ed40-11ec-8ea0-0242ac120002");
}
