// The AI service key lives in the shared settings only: it reaches the service's request
// header and nothing else the program writes or prints. The files that hold the user's
// data are readable by the user alone.
#include "actions/data/CompletionServer.h"
#include "core/ActionFactory.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SharedApiKey.h"
#include "core/SyncFolder.h"
#include "core/TextActionSeq.h"
#include "core/WorkflowMirror.h"
#include "support/Cli.h"
#include "support/TemporaryXdgHome.h"
#include "support/Workflows.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace lexorra;
using namespace lexorra::testing;

namespace {

const std::string apiKey = "sk-exposure-test-0123456789abcdefSECRET";

unsigned modeOf(const std::filesystem::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Checks that the file is the user's alone and holds no key; its bytes, for the control.
std::string privateWithoutKey(const std::filesystem::path& file) {
    const std::string bytes = readFile(file);
    EXPECT_EQ(modeOf(file), 0600u) << file;
    EXPECT_EQ(bytes.find(apiKey), std::string::npos) << file;
    return bytes;
}

// A private session bus with a real gnome-keyring-daemon on it, its login keyring unlocked;
// this process and the programs it starts talk to it while the object lives.
class PrivateKeyring {
public:
    explicit PrivateKeyring(const std::filesystem::path& folder) {
        std::FILE* bus = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        char address[512] = {0}, pid[32] = {0};
        if (bus && std::fgets(address, sizeof address, bus) && std::fgets(pid, sizeof pid, bus))
            m_busPid = std::atoi(pid);
        if (bus) ::pclose(bus);
        std::string line = address;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        ::setenv("DBUS_SESSION_BUS_ADDRESS", line.c_str(), 1);
        std::filesystem::create_directories(folder / "run");
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all);
        const std::string start = "printf secret | HOME=" + shellQuote(folder.string()) +
                                  " XDG_DATA_HOME=" + shellQuote((folder / "keyring").string()) +
                                  " XDG_RUNTIME_DIR=" + shellQuote((folder / "run").string()) +
                                  " gnome-keyring-daemon --unlock --components=secrets > /dev/null 2>&1";
        started = m_busPid > 0 && std::system(start.c_str()) == 0;
    }
    ~PrivateKeyring() {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        if (m_busPid > 0) ::kill(m_busPid, SIGTERM); // the keyring daemon leaves with its bus
    }
    bool started = false;

private:
    pid_t m_busPid = 0;
};

class SecretExposure : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldMask = ::umask(022); // a usual desktop session's mask
        auto seq = replaceWorkflow("With AI", "a", "");
        seq->actionsArray.push_back(actionWith(TextActionType::chatGPT, "Prompt", Value("Translate to Spanish")));
        workflows = {seq};
        Settings settings;
        ASSERT_TRUE(settings.setValue("apiKey", Value(apiKey)));
        ASSERT_TRUE(settings.setValue("SavedWorkFlows", Value(ValueList{seq->toDictionary(true)})));
    }
    void TearDown() override { ::umask(m_oldMask); }

    // Runs the program in this home with the service at address: a real process, so that
    // every byte it writes on its own descriptors is seen.
    CliResult cli(const std::vector<std::string>& args, const std::string& address,
                  const std::string& input = "Hello") {
        return runCliProcess(args, input, home.root / "run",
                             "XDG_CONFIG_HOME=" + shellQuote(home.config().string()) + " XDG_DATA_HOME=" +
                                 shellQuote(home.data().string()) + " LEXORRA_OPENAI_ADDRESS=" + shellQuote(address));
    }

    TemporaryXdgHome home;
    std::vector<TextActionSeqPtr> workflows;

private:
    mode_t m_oldMask = 022;
};

TEST_F(SecretExposure, KeyGoesIntoTheRequestHeaderAndNowhereElseOfARunOrItsErrors) {
    CompletionServer server;
    const std::string ok = R"({"id":"c","object":"o","created":1,"model":"m","choices":[{"text":"Hola","index":0}]})";
    const std::string refused = R"({"error":{"message":"Incorrect API key provided.","type":"invalid_request_error"}})";
    const std::vector<std::string> action = {"run", "--action-json", R"({"Type":29,"Prompt":"Echo"})"};
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string body;
        const char* shown;
    } replies[] = {
        {"answer", action, 200, ok, "Hola"},
        {"error reply", action, 401, refused, "ERROR"},
        {"not JSON", action, 502, "<html>bad gateway</html>", "ERROR"},
        {"error reply to a workflow", {"run", "--workflow", workflows.front()->id}, 401, refused, "ERROR"},
    };
    for (const auto& reply : replies) {
        server.reply(reply.status, reply.body);
        server.forgetRequest();
        const CliResult run = cli(reply.args, server.address());
        EXPECT_NE(run.out.find(reply.shown), std::string::npos) << reply.name << ": " << run.out << run.err;
        EXPECT_EQ((run.out + run.err).find(apiKey), std::string::npos) << reply.name << ": " << run.out << run.err;
        // The control: the key was read and sent, so there was something to leak.
        ASSERT_TRUE(server.hasRequest()) << reply.name;
        EXPECT_NE(server.lastRequest().find("Bearer " + apiKey), std::string::npos) << reply.name;
    }
}

TEST_F(SecretExposure, NoFileOrListingHoldsTheKeyAndTheFilesAreOwnerOnly) {
    const auto storeFile = home.data() / "lexorra" / "workflows.sqlite";
    const auto folder = home.root / "sync";
    {
        auto store = ObjectStore::open(storeFile, "machine");
        ASSERT_TRUE(store);
        SyncFolder sync(*store, folder);
        ASSERT_TRUE(pushWorkflowsToStore(*store, workflows));
        // Read while the connection is open: the -wal and -shm files exist only then.
        std::string all;
        for (const auto& file : {storeFile.string(), storeFile.string() + "-wal", storeFile.string() + "-shm"})
            all += privateWithoutKey(file);
        EXPECT_NE(all.find("Translate to Spanish"), std::string::npos);
    }
    EXPECT_EQ(modeOf(storeFile.parent_path()), 0700u);
    EXPECT_EQ(modeOf(folder), 0700u);
    size_t records = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        ++records;
        EXPECT_NE(privateWithoutKey(entry.path()).find("Translate to Spanish"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(records, workflows.size());
    // The settings files: the key is in the shared one, which only the user may read.
    EXPECT_EQ(modeOf(home.groupFile()), 0600u);
    EXPECT_NE(readFile(home.groupFile()).find(apiKey), std::string::npos);
    if (std::filesystem::exists(home.standardFile())) privateWithoutKey(home.standardFile());
    // The exchange file holds the workflows' stored documents whole, so it speaks for them too.
    const auto exchange = home.root / "all.json";
    ASSERT_EQ(cli({"workflows", "export", exchange.string()}, "http://127.0.0.1:9").status, 0);
    EXPECT_NE(privateWithoutKey(exchange).find("Translate to Spanish"), std::string::npos);
    EXPECT_EQ(cli({"workflows", "list", "--json"}, "http://127.0.0.1:9").out.find(apiKey), std::string::npos);
}

} // namespace

// Where a Secret Service runs, a saved key goes there and leaves the shared store; the command
// line (as the intents service, through the same reader) finds it there. Where none runs, the
// shared store keeps it.
TEST_F(SecretExposure, KeyMovesIntoTheSecretServiceWhereOneRuns) {
    Settings settings;
    EXPECT_EQ(openai::readSharedApiKey(), apiKey); // no bus in this process: the store's key
    PrivateKeyring keyring(home.root / "keyring");
    ASSERT_TRUE(keyring.started);
    ASSERT_TRUE(openai::moveSharedApiKeyToSecretService(settings));
    EXPECT_EQ(readFile(home.groupFile()).find(apiKey), std::string::npos) << "the key stayed in the shared store";
    EXPECT_FALSE(openai::moveSharedApiKeyToSecretService(settings)); // nothing left to move
    EXPECT_EQ(openai::readSharedApiKey(), apiKey);
    CompletionServer server;
    server.reply(200, R"({"id":"c","object":"o","created":1,"model":"m","choices":[{"text":"Hola","index":0}]})");
    EXPECT_EQ(cli({"run", "--action-json", R"({"Type":29,"Prompt":"Echo"})"}, server.address()).out, "Hola");
    EXPECT_NE(server.lastRequest().find("Bearer " + apiKey), std::string::npos) << server.lastRequest();
    // A new key replaces it there; clearing the key clears it everywhere.
    ASSERT_TRUE(openai::saveSharedApiKey(settings, "sk-new"));
    EXPECT_EQ(openai::readSharedApiKey(), "sk-new");
    EXPECT_EQ(readFile(home.groupFile()).find("sk-new"), std::string::npos);
    ASSERT_TRUE(openai::saveSharedApiKey(settings, ""));
    EXPECT_EQ(openai::readSharedApiKey(), "");
}
