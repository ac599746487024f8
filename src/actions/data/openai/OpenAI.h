#pragma once

#include "actions/data/openai/HTTPSession.h"
#include "actions/data/openai/OpenAITypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexorra::openai {

// A small client of the text-completion service. Only the completions request is built;
// chat, images, audio, embeddings, edits, models, moderations and streaming are left out.
//
//   OpenAI client({.token = key, .host = "api.openai.com", .timeoutInterval = 120.0});
//   client.completions(query, [](Result<CompletionsResult> r) { ... }); // on the session's thread
class OpenAI {
public:
    struct Configuration {
        std::string token;
        std::optional<std::string> organizationIdentifier;
        // A host name, reached over https. Tests on this machine may give a whole
        // "http://127.0.0.1:PORT" address instead; plain http anywhere else is refused.
        std::string host = "api.openai.com";
        double timeoutInterval = 60.0;
        std::string caBundle;        // see HTTPRequest::caBundle
        const void* group = nullptr; // see HTTPRequest::group
    };

    explicit OpenAI(Configuration configuration) : configuration(std::move(configuration)) {}

    std::shared_ptr<HTTPTask> completions(const CompletionsQuery& query,
                                          std::function<void(Result<CompletionsResult>)> completion);

    // The request as it goes out: for checking headers and body without a server.
    HTTPRequest makeRequest(const std::string& path, std::string body) const;

    HTTPSession& session = HTTPSession::shared();
    std::vector<std::shared_ptr<HTTPTask>> streamingSessions; // streaming is not offered
    Configuration configuration;
};

// The client's reading of every reply: a transport failure is the failure; no body is
// emptyData; a body that is not the expected result but is an error body gives the service's
// message; otherwise the first decoding error. The status code is not consulted.
Result<CompletionsResult> interpretCompletionsResponse(const HTTPResponse& response);

std::string description(OpenAIError error);

} // namespace lexorra::openai
