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

using CliRun = CliResult;

unsigned modeOf(const std::filesystem::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Every regular file below folder, with its contents.
std::vector<std::pair<std::filesystem::path, std::string>> filesBelow(const std::filesystem::path& folder) {
    std::vector<std::pair<std::filesystem::path, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.emplace_back(entry.path(), readFile(entry.path()));
    return files;
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
        auto ai = makeDefault(TextActionType::chatGPT);
        ai->setOption("Prompt", Value("Translate to Spanish"));
        auto seq = replaceWorkflow("With AI", "a", "");
        seq->actionsArray.push_back(ai);
        workflows = {seq};
        Settings settings;
        ASSERT_TRUE(settings.setValue("apiKey", Value(apiKey)));
        ValueList saved;
        for (const auto& w : workflows)
            saved.push_back(w->toDictionary(true));
        ASSERT_TRUE(settings.setValue("SavedWorkFlows", Value(saved)));
    }
    void TearDown() override { ::umask(m_oldMask); }

    // Runs the program in this home with the service at address: a real process, so that
    // every byte it writes on its own descriptors is seen.
    CliRun cli(const std::vector<std::string>& args, const std::string& address, const std::string& input = "Hello") {
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
    const struct {
        const char* name;
        int status;
        std::string body;
    } replies[] = {{"answer", 200, ok}, {"error reply", 401, refused}, {"not JSON", 502, "<html>bad gateway</html>"}};
    for (const auto& reply : replies) {
        server.reply(reply.status, reply.body);
        server.forgetRequest();
        const CliRun run = cli({"run", "--action-json", R"({"Type":29,"Prompt":"Echo"})"}, server.address());
        EXPECT_EQ(run.out.find(apiKey), std::string::npos) << reply.name << ": " << run.out;
        EXPECT_EQ(run.err.find(apiKey), std::string::npos) << reply.name << ": " << run.err;
        // The control: the key was read and sent, so there was something to leak.
        ASSERT_TRUE(server.hasRequest()) << reply.name;
        EXPECT_NE(server.lastRequest().find("Bearer " + apiKey), std::string::npos) << reply.name;
    }
    // Nothing listens on port 9 of the loopback address: the diagnostics of an action or a workflow
    // name no key either.
    for (const auto& args : {std::vector<std::string>{"run", "--action-json", R"({"Type":29,"Prompt":"Echo"})"},
                             std::vector<std::string>{"run", "--workflow", workflows.front()->id}}) {
        const CliRun run = cli(args, "http://127.0.0.1:9");
        EXPECT_NE(run.out.find("ERROR"), std::string::npos) << run.out << run.err;
        EXPECT_EQ(run.out.find(apiKey), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find(apiKey), std::string::npos) << run.err;
    }
}

// The exchange file holds the workflows' stored documents whole, so it speaks for them too.
TEST_F(SecretExposure, WorkflowListAndExchangeFilesHoldNoKey) {
    const auto all = home.root / "all.json";
    ASSERT_EQ(cli({"workflows", "export", all.string()}, "http://127.0.0.1:9").status, 0);
    const CliRun list = cli({"workflows", "list", "--json"}, "http://127.0.0.1:9");
    EXPECT_EQ(list.out.find(apiKey), std::string::npos);
    const std::string bytes = readFile(all);
    // The control: the file does hold the workflow with its AI step.
    EXPECT_NE(bytes.find("Translate to Spanish"), std::string::npos);
    EXPECT_EQ(bytes.find(apiKey), std::string::npos);
    EXPECT_EQ(modeOf(all), 0600u);
}

TEST_F(SecretExposure, StoresAndTheSyncFolderHoldNoKeyAndAreOwnerOnly) {
    const auto storeFile = home.data() / "lexorra" / "workflows.sqlite";
    const auto folder = home.root / "sync";
    {
        auto store = ObjectStore::open(storeFile, "machine");
        ASSERT_TRUE(store);
        SyncFolder sync(*store, folder);
        ASSERT_TRUE(pushWorkflowsToStore(*store, workflows));
        // Read while the connection is open: the -wal and -shm files exist only then.
        const std::vector<std::filesystem::path> storeFiles = {storeFile, storeFile.string() + "-wal",
                                                               storeFile.string() + "-shm"};
        for (const auto& file : storeFiles) {
            ASSERT_TRUE(std::filesystem::exists(file)) << file;
            EXPECT_EQ(modeOf(file), 0600u) << file;
        }
        bool sawWorkflow = false;
        for (const auto& file : storeFiles) {
            const std::string bytes = readFile(file);
            sawWorkflow = sawWorkflow || bytes.find("Translate to Spanish") != std::string::npos;
            EXPECT_EQ(bytes.find(apiKey), std::string::npos) << file;
        }
        EXPECT_TRUE(sawWorkflow);
    }
    EXPECT_EQ(modeOf(storeFile.parent_path()), 0700u);
    EXPECT_EQ(modeOf(folder), 0700u);
    const auto records = filesBelow(folder);
    ASSERT_EQ(records.size(), workflows.size());
    for (const auto& [file, bytes] : records) {
        EXPECT_NE(bytes.find("Translate to Spanish"), std::string::npos) << file;
        EXPECT_EQ(bytes.find(apiKey), std::string::npos) << file;
        EXPECT_EQ(modeOf(file), 0600u) << file;
    }
    // The settings files: the key is in the shared one, which only the user may read.
    EXPECT_EQ(modeOf(home.groupFile()), 0600u);
    EXPECT_NE(readFile(home.groupFile()).find(apiKey), std::string::npos);
    const auto standard = home.standardFile();
    if (std::filesystem::exists(standard)) {
        EXPECT_EQ(modeOf(standard), 0600u);
        EXPECT_EQ(readFile(standard).find(apiKey), std::string::npos);
    }
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
