#include "core/ActionFactory.h"
#include "core/SettingsStore.h"
#include "intents/Intents.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace lexorra;
using namespace lexorra::intents;
using namespace lexorra::testing;

namespace {

TextActionSeqPtr workflow(std::string id, std::string name, TextActionType kind) {
    auto seq = replaceWorkflow(name, "a", "b");
    seq->id = std::move(id);
    if (kind != TextActionType::replaceString) seq->actionsArray = {makeDefault(kind)};
    return seq;
}

IntentHandler handlerWith(std::vector<TextActionSeqPtr> list) {
    return IntentHandler([list](std::string&) { return std::optional(list); });
}

// Runs script on a private session bus whose activation folder starts the built service.
// The service inherits this process's environment (the bus starts it), not the script's.
std::string onPrivateBus(const std::filesystem::path& dir, const std::string& script) {
    std::filesystem::create_directories(dir);
    const std::string services = std::filesystem::path(LEXORRA_CLI_PATH).parent_path().parent_path() / "dbus-services";
    std::ofstream(dir / "session.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
           "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><include>/usr/share/dbus-1/session.conf</include>"
           "<servicedir>" +
               services + "</servicedir></busconfig>\n";
    std::ofstream(dir / "script.sh") << "call() { dbus-send --session --print-reply --dest=org.lexorra.Lexorra.Intents "
                                        "/org/lexorra/Lexorra/Intents org.lexorra.Lexorra.Intents.\"$@\"; }\ncd "
                                     << dir << "\n"
                                     << script << "\n";
    const std::string command = "dbus-run-session --config-file=" + (dir / "session.conf").string() + " -- sh " +
                                (dir / "script.sh").string() + " > " + (dir / "bus.log").string() + " 2>&1";
    return std::system(command.c_str()) == 0 ? "" : readFile(dir / "bus.log");
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
    EXPECT_EQ(unknown.errorKind, IntentError::unknownWorkflow);
    EXPECT_EQ(handler.handleTransformText({"", Workflow{"ID-1", ""}}).error, "There is no text to transform.");
    EXPECT_EQ(handler.handleTransformText({"x", std::nullopt}).code, IntentResponseCode::failure);

    IntentHandler broken([](std::string& error) -> std::optional<std::vector<TextActionSeqPtr>> {
        error = "The store /x/group.json cannot be read.";
        return std::nullopt;
    });
    auto r = broken.handleTransformText({"x", Workflow{"a", "a"}});
    EXPECT_EQ(r.error, "The store /x/group.json cannot be read.");
    EXPECT_EQ(r.errorKind, IntentError::other);
}

TEST(IntentHandler, UppercaseAndResolution) {
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
}

// The service on a real session bus, started on demand through its activation file. A transform
// of an AI workflow whose server accepts the connection and never answers holds up no other
// call, and is itself answered with the documented error before a caller's default 25 s
// timeout; a second such transform does not end the first one's exchange. Fifty calls at once
// all get their own answers.
TEST(IntentsService, SlowTransformsHoldUpNoOtherCall) {
    TemporaryXdgHome home;
    // The kernel completes the connections of a listening socket that never accepts or reads.
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(server, 64), 0);
    ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::setenv("LEXORRA_OPENAI_ADDRESS", ("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str(), 1);

    auto ai = makeDefault(TextActionType::chatGPT);
    ai->setOption("Prompt", Value("Answer"));
    Settings settings;
    ASSERT_TRUE(settings.setValue("apiKey", Value("sk-test")));
    auto withAi = workflow("AI", "Ask AI", TextActionType::chatGPT);
    withAi->actionsArray = {ai};
    ValueList saved{withAi->toDictionary(true),
                    workflow("S", "Swap", TextActionType::replaceString)->toDictionary(true)};
    ASSERT_TRUE(settings.setValue("SavedWorkFlows", Value(saved)));

    const std::string log = onPrivateBus(
        home.root / "bus",
        "ms() { echo $(( $(date +%s%N) / 1000000 )); }\n"
        "(s=$(ms); call TransformText string:'Ask AI' string:'hi' > slow 2>&1; echo $(( $(ms) - s )) > slow-ms) &\n"
        "sleep 1\n"
        "call TransformText string:'Ask AI' string:'again' > slow-2 2>&1 &\n"
        "s=$(ms); call MakeUppercase string:'quick' > upper 2>&1; echo $(( $(ms) - s )) > upper-ms\n"
        "s=$(ms); call WorkflowNames > names 2>&1; echo $(( $(ms) - s )) > names-ms\n"
        "call TransformText string:'nope' string:'x' > unknown 2>&1\n"
        "for i in $(seq 25); do call MakeUppercase string:word$i > upper-$i 2>&1 & pids=\"$pids $!\"\n"
        "  call TransformText string:Swap string:banana$i > swap-$i 2>&1 & pids=\"$pids $!\"; done\n"
        "wait $pids\n"
        // More slow transforms than the pool runs and queues together: the rest are refused at once.
        "for i in $(seq 72); do call TransformText string:'Ask AI' string:x > flood-$i 2>&1 & done\n"
        "wait");
    ::unsetenv("LEXORRA_OPENAI_ADDRESS");
    ASSERT_EQ(log, "");
    const auto bus = home.root / "bus";
    // The AI request did reach the server: it is waiting there unanswered.
    EXPECT_GE(::accept(server, nullptr, nullptr), 0);
    EXPECT_GE(::accept(server, nullptr, nullptr), 0);
    ::close(server);

    const std::string upper = readFile(bus / "upper"), unknown = readFile(bus / "unknown");
    EXPECT_NE(upper.find("int32 4"), std::string::npos) << upper;
    EXPECT_NE(upper.find("\"QUICK\""), std::string::npos) << upper;
    EXPECT_NE(unknown.find("int32 5"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("There is no workflow named"), std::string::npos) << unknown;
    EXPECT_NE(readFile(bus / "swap-1").find("int32 4"), std::string::npos) << readFile(bus / "swap-1");
    EXPECT_LT(std::stoi(readFile(bus / "upper-ms")), 3000);
    EXPECT_NE(readFile(bus / "names").find("\"Ask AI\""), std::string::npos) << readFile(bus / "names");
    EXPECT_LT(std::stoi(readFile(bus / "names-ms")), 3000);
    for (const char* name : {"slow", "slow-2"}) {
        const std::string slow = readFile(bus / name);
        EXPECT_NE(slow.find("org.lexorra.Lexorra.Intents.Error.TimedOut"), std::string::npos) << slow;
    }
    const int slowMs = std::stoi(readFile(bus / "slow-ms"));
    EXPECT_GT(slowMs, 19000);
    EXPECT_LT(slowMs, 25000);
    for (int i = 1; i <= 25; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_NE(readFile(bus / ("upper-" + n)).find("\"WORD" + n + "\""), std::string::npos) << n;
        EXPECT_NE(readFile(bus / ("swap-" + n)).find("\"bbnbnb" + n + "\""), std::string::npos) << n;
    }
    int refused = 0;
    for (int i = 1; i <= 72; ++i) {
        const std::string reply = readFile(bus / ("flood-" + std::to_string(i)));
        refused += reply.find("org.lexorra.Lexorra.Intents.Error.Busy") != std::string::npos;
        EXPECT_NE(reply.find("org.lexorra.Lexorra.Intents.Error."), std::string::npos) << reply;
    }
    EXPECT_GT(refused, 0);
}
