#include "actions/data/openai/HTTPSession.h"

#include "core/SharedApiKey.h"
#include "core/SharedLibrary.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace lexorra::openai {

namespace {

// libcurl and the TLS, Kerberos and LDAP libraries it drags in cost every process tens of
// milliseconds to load, while only the AI action ever makes a request. So the library is
// opened on the first request, and the command line starts as fast as a coreutils tool.
struct Curl {
    CURLcode (*globalInit)(long);
    CURL* (*easyInit)();
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyPerform)(CURL*);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
    void (*easyCleanup)(CURL*);
    const char* (*easyStrerror)(CURLcode);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
};

// Null when the library is missing; the request then fails with a message instead.
const Curl* curlLibrary() {
    return loadFunctions<Curl>("libcurl.so.4", [](const SharedLibrary& library, Curl& curl) {
        return library.resolve("curl_global_init", curl.globalInit) &&
               library.resolve("curl_easy_init", curl.easyInit) &&
               library.resolve("curl_easy_setopt", curl.easySetopt) &&
               library.resolve("curl_easy_perform", curl.easyPerform) &&
               library.resolve("curl_easy_getinfo", curl.easyGetinfo) &&
               library.resolve("curl_easy_cleanup", curl.easyCleanup) &&
               library.resolve("curl_easy_strerror", curl.easyStrerror) &&
               library.resolve("curl_slist_append", curl.slistAppend) &&
               library.resolve("curl_slist_free_all", curl.slistFreeAll) &&
               curl.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    });
}

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

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

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

    // A line break in a value (an API key pasted with one, say) would start a header of its
    // own on the wire; such a request is not sent at all.
    for (const auto& [name, value] : request.headers) {
        if (hasControlCharacter(name) || hasControlCharacter(value)) {
            response.errorDescription =
                "The request header \"" + name + "\" holds a control character; the request was not sent.";
            return response;
        }
    }

    if (!request.caBundle.empty() && ::access(request.caBundle.c_str(), R_OK) != 0) {
        response.errorDescription = "The certificate authority file \"" + request.caBundle + "\" cannot be read.";
        return response;
    }

    const Curl* lib = curlLibrary();
    if (!lib) {
        response.errorDescription = "The HTTP library (libcurl.so.4) could not be loaded.";
        return response;
    }
    CURL* curl = lib->easyInit();
    if (!curl) {
        response.errorDescription = "The HTTP client could not be created.";
        return response;
    }
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers)
        headers = lib->slistAppend(headers, (name + ": " + value).c_str());
    // Without this curl waits for a "100 Continue" before sending larger bodies.
    headers = lib->slistAppend(headers, "Expect:");

    char errorBuffer[CURL_ERROR_SIZE] = {0};
    lib->easySetopt(curl, CURLOPT_URL, request.url.c_str());
    lib->easySetopt(curl, CURLOPT_PROTOCOLS_STR, plain ? "http" : "https");
    lib->easySetopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    lib->easySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.caBundle.empty()) lib->easySetopt(curl, CURLOPT_CAINFO, request.caBundle.c_str());
    lib->easySetopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    lib->easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (plain) lib->easySetopt(curl, CURLOPT_NOPROXY, "*");
    lib->easySetopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method != "GET") {
        lib->easySetopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        lib->easySetopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    lib->easySetopt(curl, CURLOPT_HTTPHEADER, headers);
    lib->easySetopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(std::max(0.001, request.timeoutInterval) * 1000.0));
    lib->easySetopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    lib->easySetopt(curl, CURLOPT_WRITEDATA, &transfer);
    lib->easySetopt(curl, CURLOPT_NOPROGRESS, 0L);
    lib->easySetopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    lib->easySetopt(curl, CURLOPT_XFERINFODATA, &transfer);
    lib->easySetopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    const CURLcode code = transfer.task->isCancelled() ? CURLE_ABORTED_BY_CALLBACK : lib->easyPerform(curl);
    lib->easyGetinfo(curl, CURLINFO_RESPONSE_CODE, &response.statusCode);
    lib->slistFreeAll(headers);
    lib->easyCleanup(curl);

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
        response.errorDescription = errorBuffer[0] ? errorBuffer : lib->easyStrerror(code);
        break;
    }
    return response;
}

} // namespace

// The library is loaded and initialised on the thread that first needs a session, never
// inside an exchange's own thread: global initialisation is not thread-safe and its
// per-thread state would otherwise belong to a detached thread.
HTTPSession::HTTPSession() {
    curlLibrary();
}

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
    task->m_group = request.group;
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

void HTTPSession::cancelTasks(const void* group) {
    for (const auto& task : allTasks())
        if (task->m_group == group && task->isRunning()) task->cancel();
}

} // namespace lexorra::openai
