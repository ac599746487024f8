#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lexorra::openai {

struct HTTPRequest {
    std::string url;
    std::string method = "GET";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    double timeoutInterval = 60.0; // seconds for the whole exchange
    // A PEM file of the certificate authorities to trust instead of the system's; empty: the system's.
    std::string caBundle;
    // The exchanges that cancelTasks(group) ends together.
    const void* group = nullptr;
};

struct HTTPResponse {
    enum class Outcome { completed, failed, cancelled, timedOut };
    Outcome outcome = Outcome::failed;
    std::string errorDescription; // for every outcome but completed
    long statusCode = 0;
    std::optional<std::string> body; // absent when the reply carried none
};

// One exchange in flight. cancel() ends it at the transfer's next progress report; its
// completion then reports Outcome::cancelled.
class HTTPTask {
public:
    void cancel() { m_cancelled.store(true, std::memory_order_release); }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    bool isRunning() const { return m_running.load(std::memory_order_acquire); }

private:
    friend class HTTPSession;
    const void* m_group = nullptr;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_running{true};
};

// The process-wide HTTP session over libcurl. Each exchange runs on a thread of its own and
// reports to its completion there; the session lists the tasks still running so that a new
// run can end the ones an older run started. Certificates and host names are always verified;
// plain http is accepted only for loopback addresses (the tests' local server).
//
//   auto task = HTTPSession::shared().start(request, [](HTTPResponse r) { ... });
//   for (auto& t : HTTPSession::shared().allTasks()) t->cancel();
class HTTPSession {
public:
    static HTTPSession& shared();

    std::shared_ptr<HTTPTask> start(HTTPRequest request, std::function<void(HTTPResponse)> completion);
    // The tasks that have not completed yet.
    std::vector<std::shared_ptr<HTTPTask>> allTasks();
    void cancelAllTasks();
    // Cancels the running tasks of requests of that group.
    void cancelTasks(const void* group);

    // True for http://127.0.0.1:PORT/..., http://[::1]:PORT/... and http://localhost:PORT/...
    static bool isLoopbackHttp(const std::string& url);

private:
    HTTPSession();
    void finished(const std::shared_ptr<HTTPTask>& task);

    std::mutex m_mutex;
    std::vector<std::shared_ptr<HTTPTask>> m_tasks;
};

} // namespace lexorra::openai
