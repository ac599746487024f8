#include "actions/data/openai/OpenAI.h"

#include "actions/data/openai/OpenAIJson.h"

namespace lexorra::openai {

namespace {

template <class T>
Result<T> interpret(const HTTPResponse& response, Result<T> (*decode)(std::string_view)) {
    if (response.outcome != HTTPResponse::Outcome::completed) {
        const auto kind = response.outcome == HTTPResponse::Outcome::cancelled ? Failure::Kind::cancelled
                          : response.outcome == HTTPResponse::Outcome::timedOut ? Failure::Kind::timedOut
                                                                                : Failure::Kind::transport;
        return Failure{kind, response.errorDescription};
    }
    if (!response.body) return Failure{Failure::Kind::emptyData, description(OpenAIError::emptyData)};
    Result<T> result = decode(*response.body);
    if (std::holds_alternative<T>(result)) return result;
    const auto serviceError = json::decodeAPIErrorResponse(*response.body);
    if (const auto* error = std::get_if<APIErrorResponse>(&serviceError))
        return Failure{Failure::Kind::service, error->error.message};
    return result; // the first decoding error
}

} // namespace

std::string description(OpenAIError error) {
    switch (error) {
    case OpenAIError::emptyData: return "The service sent an empty reply.";
    }
    return "Unknown error.";
}

HTTPRequest OpenAI::makeRequest(const std::string& path, std::string body) const {
    HTTPRequest request;
    const bool wholeAddress = configuration.host.rfind("http://", 0) == 0 || configuration.host.rfind("https://", 0) == 0;
    request.url = (wholeAddress ? configuration.host : "https://" + configuration.host) + path;
    request.method = "POST";
    request.headers = {{"Content-Type", "application/json"}, {"Authorization", "Bearer " + configuration.token}};
    if (configuration.organizationIdentifier)
        request.headers.emplace_back("OpenAI-Organization", *configuration.organizationIdentifier);
    request.body = std::move(body);
    request.timeoutInterval = configuration.timeoutInterval;
    request.caBundle = configuration.caBundle;
    request.group = configuration.group;
    return request;
}

Result<CompletionsResult> interpretCompletionsResponse(const HTTPResponse& response) {
    return interpret<CompletionsResult>(response, &json::decodeCompletionsResult);
}

std::shared_ptr<HTTPTask> OpenAI::completions(const CompletionsQuery& query,
                                              std::function<void(Result<CompletionsResult>)> completion) {
    return session.start(makeRequest("/v1/completions", json::encode(query)),
                         [completion = std::move(completion)](HTTPResponse response) {
                             completion(interpretCompletionsResponse(response));
                         });
}

} // namespace lexorra::openai
