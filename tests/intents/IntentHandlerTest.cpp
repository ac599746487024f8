#include "core/ActionFactory.h"
#include "intents/Intents.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::intents;

namespace {

TextActionSeqPtr workflow(std::string id, std::string name, TextActionType kind) {
    auto seq = lexorra::testing::replaceWorkflow(name, "a", "b");
    seq->id = std::move(id);
    if (kind != TextActionType::replaceString) seq->actionsArray = {makeDefault(kind)};
    return seq;
}

IntentHandler handlerWith(std::vector<TextActionSeqPtr> list) {
    return IntentHandler([list](std::string&) { return std::optional(list); });
}

} // namespace

TEST(IntentHandler, TransformsByIdThenByExactName) {
    auto handler = handlerWith(
        {workflow("ID-1", "Swap", TextActionType::replaceString), workflow("ID-2", "ID-1", TextActionType::trimLines)});
    auto byId = handler.handleTransformText({"banana", Workflow{"ID-1", ""}});
    EXPECT_EQ(byId.code, IntentResponseCode::success);
    EXPECT_EQ(byId.result, "bbnbnb");
    EXPECT_EQ(handler.handleTransformText({"aa", Workflow{"", "Swap"}}).result, "bb");
    // An id wins over a workflow whose name happens to equal it.
    EXPECT_EQ(handler.handleTransformText({"a ", Workflow{"ID-1", "ID-1"}}).result, "b ");
}

TEST(IntentHandler, FailuresCarryAClearError) {
    auto handler = handlerWith({workflow("ID-1", "Swap", TextActionType::replaceString)});
    auto unknown = handler.handleTransformText({"x", Workflow{"nope", "nope"}});
    EXPECT_EQ(unknown.code, IntentResponseCode::failure);
    EXPECT_EQ(unknown.error, "There is no workflow named \"nope\".");
    EXPECT_TRUE(isUnknownWorkflowError(unknown.error));
    EXPECT_EQ(handler.handleTransformText({"", Workflow{"ID-1", ""}}).error, "There is no text to transform.");
    EXPECT_EQ(handler.handleTransformText({"x", std::nullopt}).code, IntentResponseCode::failure);

    IntentHandler broken([](std::string& error) -> std::optional<std::vector<TextActionSeqPtr>> {
        error = "The store /x/group.json cannot be read.";
        return std::nullopt;
    });
    auto r = broken.handleTransformText({"x", Workflow{"a", "a"}});
    EXPECT_EQ(r.error, "The store /x/group.json cannot be read.");
    EXPECT_FALSE(isUnknownWorkflowError(r.error));
}

TEST(IntentHandler, UppercaseResolutionAndCodes) {
    auto handler =
        handlerWith({workflow("1", "Same", TextActionType::trimLines), workflow("2", "Same", TextActionType::trimLines),
                     workflow("3", "Only", TextActionType::trimLines)});
    EXPECT_EQ(handler.handleMakeUppercase({"straße"}).result, "STRASSE");
    EXPECT_EQ(handler.resolveWorkflow(Workflow{"", "Only"}).kind, WorkflowResolutionResult::Kind::success);
    EXPECT_EQ(handler.resolveWorkflow(Workflow{"", "Same"}).options.size(), 2u);
    EXPECT_EQ(handler.resolveWorkflow(Workflow{"", "None"}).reason, UnsupportedReason::noWorkflow);
    EXPECT_EQ(handler.resolveWorkflow(std::nullopt).kind, WorkflowResolutionResult::Kind::needsValue);
    EXPECT_EQ(handler.resolveText("").kind, TextResolutionResult::Kind::needsValue);
    EXPECT_EQ(handler.provideWorkflowOptions().size(), 3u);
    EXPECT_EQ(intentResponseCodeFromRaw(4), IntentResponseCode::success);
    EXPECT_FALSE(intentResponseCodeFromRaw(7));
    EXPECT_EQ(unsupportedReasonFromRaw(1), UnsupportedReason::noWorkflow);
    EXPECT_FALSE(unsupportedReasonFromRaw(0));
    auto ok = TransformTextIntentResponse::success("r");
    EXPECT_EQ(static_cast<int>(ok.code), 4);
    EXPECT_EQ(static_cast<int>(MakeUppercaseIntentResponse::failure("e").code), 5);
}

// The service on a real session bus, started on demand through its activation file.
TEST(IntentsService, AnswersOverTheSessionBus) {
    const lexorra::testing::TemporaryXdgHome home;
    const auto dir = home.root;
    const std::string services = std::filesystem::path(LEXORRA_CLI_PATH).parent_path().parent_path() / "dbus-services";
    std::ofstream(dir / "session.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
           "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><include>/usr/share/dbus-1/session.conf</include>"
           "<servicedir>" +
               services + "</servicedir></busconfig>\n";
    const std::string call = "dbus-send --session --print-reply --dest=org.lexorra.Lexorra.Intents "
                             "/org/lexorra/Lexorra/Intents org.lexorra.Lexorra.Intents.";
    const std::string script =
        "export XDG_CONFIG_HOME=" + (dir / "config").string() + " XDG_DATA_HOME=" + (dir / "data").string() + "; " +
        call + "MakeUppercase string:'hello' > " + (dir / "upper").string() + " 2>&1; " + call +
        "TransformText string:'Tabs to Spaces' string:'a\tb' > " + (dir / "transform").string() + " 2>&1; " + call +
        "TransformText string:'nope' string:'x' > " + (dir / "unknown").string() + " 2>&1";
    const std::string command = "dbus-run-session --config-file=" + (dir / "session.conf").string() + " -- sh -c \"" +
                                script + "\" > " + (dir / "bus.log").string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto read = [&](const char* name) {
        std::ifstream in(dir / name);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string upper = read("upper");
    EXPECT_NE(upper.find("int32 4"), std::string::npos) << upper;
    EXPECT_NE(upper.find("\"HELLO\""), std::string::npos) << upper;
    const std::string unknown = read("unknown");
    EXPECT_NE(unknown.find("int32 5"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("There is no workflow named"), std::string::npos) << unknown;
    const std::string transform = read("transform");
    EXPECT_NE(transform.find("int32 4"), std::string::npos) << transform;
}
