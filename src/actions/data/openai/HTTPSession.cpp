#include "actions/data/openai/HTTPSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <system_error>
#include <thread>

namespace lexorra::openai {

namespace {

struct Transfer {
    std::shared_ptr<HTTPTask> task;
    std::string body;
    bool sawBody = false;
};

size_t collectBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    transfer->sawBody = true;
    transfer->body.append(data, size * count);
    return size * count;
}

int reportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->task->isCancelled() ? 1 : 0;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

HTTPResponse perform(const HTTPRequest& request, Transfer& transfer) {
    HTTPResponse response;
    const bool plain = startsWith(request.url, "http://");
    if (plain && !HTTPSession::isLoopbackHttp(request.url)) {
        response.errorDescription = "Plain http is refused for " + request.url + "; the service needs https.";
        return response;
    }
    if (!plain && !startsWith(request.url, "https://")) {
        response.errorDescription = "Unsupported address: " + request.url;
        return response;
    }

    CURL* curl = curl_easy_init();
    if (!curl) {
        response.errorDescription = "The HTTP client could not be created.";
        return response;
    }
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers) headers = curl_slist_append(headers, (name + ": " + value).c_str());
    // Without this curl waits for a "100 Continue" before sending larger bodies.
    headers = curl_slist_append(headers, "Expect:");

    char errorBuffer[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, plain ? "http" : "https");
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (plain) curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method != "GET") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max(0.001, request.timeoutInterval) * 1000.0));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    const CURLcode code = transfer.task->isCancelled() ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.statusCode);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);

    switch (code) {
    case CURLE_OK:
        response.outcome = HTTPResponse::Outcome::completed;
        if (transfer.sawBody && !transfer.body.empty()) response.body = std::move(transfer.body);
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        response.outcome = HTTPResponse::Outcome::cancelled;
        response.errorDescription = "cancelled";
        break;
    case CURLE_OPERATION_TIMEDOUT:
        response.outcome = HTTPResponse::Outcome::timedOut;
        response.errorDescription = "The request timed out.";
        break;
    default:
        response.errorDescription = errorBuffer[0] ? errorBuffer : curl_easy_strerror(code);
        break;
    }
    return response;
}

} // namespace

HTTPSession::HTTPSession() { curl_global_init(CURL_GLOBAL_DEFAULT); }

HTTPSession& HTTPSession::shared() {
    // Never destroyed: exchanges may still be finishing on their threads while the program exits.
    static HTTPSession* session = new HTTPSession();
    return *session;
}

bool HTTPSession::isLoopbackHttp(const std::string& url) {
    for (const char* prefix : {"http://127.0.0.1:", "http://[::1]:", "http://localhost:"}) {
        if (!startsWith(url, prefix)) continue;
        const std::string rest = url.substr(std::char_traits<char>::length(prefix));
        const size_t digits = rest.find_first_not_of("0123456789");
        return digits != 0 && (digits == std::string::npos || rest[digits] == '/');
    }
    return false;
}

std::shared_ptr<HTTPTask> HTTPSession::start(HTTPRequest request, std::function<void(HTTPResponse)> completion) {
    auto task = std::make_shared<HTTPTask>();
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(task);
    }
    auto run = [this, task, request = std::move(request), completion] {
        Transfer transfer{task, {}, false};
        HTTPResponse response = perform(request, transfer);
        finished(task);
        completion(std::move(response));
    };
    try {
        std::thread(std::move(run)).detach();
    } catch (const std::system_error& e) {
        // No thread to run on: report the failure the same way, so the caller's wait ends.
        finished(task);
        completion(HTTPResponse{HTTPResponse::Outcome::failed, e.what(), 0, std::nullopt});
    }
    return task;
}

void HTTPSession::finished(const std::shared_ptr<HTTPTask>& task) {
    task->m_running.store(false, std::memory_order_release);
    std::lock_guard lock(m_mutex);
    std::erase(m_tasks, task);
}

std::vector<std::shared_ptr<HTTPTask>> HTTPSession::allTasks() {
    std::lock_guard lock(m_mutex);
    return m_tasks;
}

void HTTPSession::cancelAllTasks() {
    for (const auto& task : allTasks())
        if (task->isRunning()) task->cancel();
}

} // namespace lexorra::openai
