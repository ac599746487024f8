#pragma once

// Runs the local stand-in for the completion service (tests/data/data/completion-server.py)
// in a scratch folder, and points the action and the shared settings at it.

#include "support/TemporaryXdgHome.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lexorra::testing {

class CompletionServer {
public:
    // With a certificate and its key (PEM files), the server speaks HTTPS.
    explicit CompletionServer(const std::string& certificate = {}, const std::string& key = {}) {
        folder = std::filesystem::temp_directory_path() /
                 ("lexorra-openai-" + std::to_string(::getpid()) + "-" + std::to_string(++counter()));
        std::filesystem::create_directories(folder);
        reply(200, R"({"id":"x","object":"text_completion","created":1,"model":"m","choices":[]})");

        int pipeFds[2];
        if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        const std::string script = std::string(LEXORRA_TEST_DATA) + "/data/completion-server.py";
        const std::string dir = folder.string();
        std::vector<char*> argv = {const_cast<char*>("python3"), const_cast<char*>(script.c_str()),
                                   const_cast<char*>(dir.c_str())};
        if (!certificate.empty()) {
            argv.push_back(const_cast<char*>(certificate.c_str()));
            argv.push_back(const_cast<char*>(key.c_str()));
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid, "python3", &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("spawn");
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        FILE* out = fdopen(pipeFds[0], "r");
        char line[64] = {0};
        if (!std::fgets(line, sizeof line, out)) throw std::runtime_error("the completion server did not start");
        std::fclose(out);
        port = std::stoi(line);
    }

    ~CompletionServer() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        std::filesystem::remove_all(folder);
    }

    std::string address() const { return "http://127.0.0.1:" + std::to_string(port); }

    // The answer to every following request.
    void reply(int status, const std::string& body, double delay = 0.0) {
        std::ofstream(folder / "reply.json")
            << nlohmann::json{{"status", status}, {"delay", delay}, {"body", body}}.dump();
    }

    bool hasRequest() const { return std::filesystem::exists(folder / "request.json"); }
    void forgetRequest() { std::filesystem::remove(folder / "request.json"); }

    // The last request as the server saw it, as JSON text.
    std::string lastRequest() const { return readFile(folder / "request.json"); }

    void waitForRequest() const {
        for (int i = 0; i < 400 && !hasRequest(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(hasRequest()) << "no request reached the server";
    }

    std::filesystem::path folder;
    int port = 0;

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    pid_t pid = 0;
};

} // namespace lexorra::testing
