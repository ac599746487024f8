#include "actions/data/CompletionServer.h"
#include "actions/data/openai/OpenAI.h"
#include "actions/data/openai/OpenAIJson.h"

#include <gtest/gtest.h>

#include <future>

namespace lexorra::openai {
namespace {

const char* const validResult =
    R"({"id":"cmpl-1","object":"text_completion","created":1700000000,"model":"gpt-3.5-turbo-instruct",)"
    R"("choices":[{"text":"\n\nHola","index":0,"logprobs":null,"finish_reason":"stop"}],)"
    R"("usage":{"prompt_tokens":5,"completion_tokens":2,"total_tokens":7}})";

const char* const errorBody =
    R"({"error":{"message":"Incorrect API key provided: sk-abc.","type":"invalid_request_error",)"
    R"("param":null,"code":"invalid_api_key"}})";

std::string failureText(const Result<CompletionsResult>& result) {
    const auto* failure = std::get_if<Failure>(&result);
    return failure ? failure->description : "<success>";
}

// ---- Request bodies

// The order of the keys the action always sends is checked on the wire by its exchange tests.
TEST(OpenAIJson, QueryKeysInOrderAndAbsentOptionalsLeftOut) {
    CompletionsQuery query{.model = "m",
                           .prompt = "say \"hi\"\n",
                           .presencePenalty = -1.5,
                           .stop = std::vector<std::string>{"\\n", "END"},
                           .user = "u1",
                           .stream = true};
    EXPECT_EQ(
        json::encode(query),
        R"({"model":"m","prompt":"say \"hi\"\n","presence_penalty":-1.5,"stop":["\\n","END"],"user":"u1","stream":true})");
    EXPECT_EQ(json::encode({.model = "m", .prompt = ""}), R"({"model":"m","prompt":"","stream":false})");
}

// ---- Reading replies

TEST(OpenAIJson, DecodesResults) {
    const auto result = json::decodeCompletionsResult(validResult);
    const auto* completions = std::get_if<CompletionsResult>(&result);
    ASSERT_TRUE(completions) << failureText(result);
    ASSERT_EQ(completions->choices.size(), 1u);
    EXPECT_EQ(completions->choices[0].text, "\n\nHola");
    EXPECT_EQ(completions->choices[0].finishReason, "stop");
    EXPECT_EQ(completions->usage->totalTokens, 7);
    // Optional members may be missing or null.
    const auto minimal = json::decodeCompletionsResult(
        R"({"id":"a","object":"o","created":1.5,"model":"m","choices":[{"text":"t","index":0,"finish_reason":null}]})");
    const auto* small = std::get_if<CompletionsResult>(&minimal);
    ASSERT_TRUE(small) << failureText(minimal);
    EXPECT_FALSE(small->usage);
    EXPECT_FALSE(small->choices[0].finishReason);
}

TEST(OpenAIJson, DecodingFailuresNameTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"not json", "The reply could not be read: it is not valid JSON."},
        {"[1]", "The reply could not be read: expected an object at \"\"."},
        {R"({"object":"o"})", "The reply could not be read: a required key is missing at \"id\"."},
        {R"({"id":1,"object":"o","created":1,"model":"m","choices":[]})",
         "The reply could not be read: expected a text at \"id\"."},
        {R"({"id":"a","object":"o","created":"now","model":"m","choices":[]})",
         "The reply could not be read: expected a number at \"created\"."},
        {R"({"id":"a","object":"o","created":1,"model":"m","choices":{}})",
         "The reply could not be read: expected a list at \"choices\"."},
        {R"({"id":"a","object":"o","created":1,"model":"m","choices":[{"index":0}]})",
         "The reply could not be read: a required key is missing at \"choices[0].text\"."},
        {R"({"id":"a","object":"o","created":1,"model":"m","choices":[{"text":"t","index":0.5}]})",
         "The reply could not be read: expected an integer at \"choices[0].index\"."},
    };
    for (const auto& [body, expected] : cases)
        EXPECT_EQ(failureText(json::decodeCompletionsResult(body)), expected) << body;
}

// A time-out and a cancelled task are read on the wire by the exchange test below.
TEST(OpenAIClient, ResponseHandlingOrder) {
    using O = HTTPResponse::Outcome;
    struct Case {
        const char* name;
        HTTPResponse response;
        std::string expected; // failure description, or "<success>"
    };
    const Case cases[] = {
        {"transport failure wins over a body",
         {O::failed, "Could not connect", 0, std::string(validResult)},
         "Could not connect"},
        {"no body", {O::completed, "", 200, std::nullopt}, "The service sent an empty reply."},
        {"result", {O::completed, "", 200, std::string(validResult)}, "<success>"},
        {"status is not consulted for a result", {O::completed, "", 500, std::string(validResult)}, "<success>"},
        {"error body", {O::completed, "", 401, std::string(errorBody)}, "Incorrect API key provided: sk-abc."},
        {"error body with status 200",
         {O::completed, "", 200, std::string(errorBody)},
         "Incorrect API key provided: sk-abc."},
        {"error body lacking its type gives the first decoding error",
         {O::completed, "", 400, std::string(R"({"error":{"message":"m"}})")},
         "The reply could not be read: a required key is missing at \"id\"."},
        {"neither",
         {O::completed, "", 200, std::string("<html>")},
         "The reply could not be read: it is not valid JSON."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureText(interpretCompletionsResponse(c.response)), c.expected) << c.name;
}

// ---- Requests

// The method and the key's header are checked on the wire by the action's exchange tests.
TEST(OpenAIClient, RequestAddressAndHeaders) {
    OpenAI client({.token = "sk-1", .host = "api.openai.com", .timeoutInterval = 120.0});
    const HTTPRequest request = client.makeRequest("/v1/completions", "{}");
    EXPECT_EQ(request.url, "https://api.openai.com/v1/completions");
    EXPECT_EQ(request.timeoutInterval, 120.0);
    using Headers = std::vector<std::pair<std::string, std::string>>;

    OpenAI withOrganisation({.token = "", .organizationIdentifier = "org-9", .host = "example.org"});
    EXPECT_EQ(withOrganisation.makeRequest("/v1/completions", "{}").headers,
              (Headers{{"Content-Type", "application/json"},
                       {"Authorization", "Bearer "},
                       {"OpenAI-Organization", "org-9"}}));
}

TEST(OpenAIClient, PlainHttpOnlyOnLoopback) {
    const std::pair<const char*, bool> cases[] = {
        {"http://127.0.0.1:8080/v1/completions", true},
        {"http://127.0.0.1:1", true},
        {"http://[::1]:9/x", true},
        {"http://localhost:80/", true},
        {"http://127.0.0.1/v1", false},
        {"http://127.0.0.1:80x/", false},
        {"http://127.0.0.1.evil.com:80/", false},
        {"http://example.com:80/", false},
        {"https://127.0.0.1:8080/", false},
        {"http://localhost.example:1/", false},
    };
    for (const auto& [url, loopback] : cases)
        EXPECT_EQ(HTTPSession::isLoopbackHttp(url), loopback) << url;

    OpenAI remote({.token = "t", .host = "http://example.com", .timeoutInterval = 5});
    std::promise<Result<CompletionsResult>> reply;
    remote.completions({.model = "m", .prompt = "p"}, [&](Result<CompletionsResult> r) { reply.set_value(r); });
    EXPECT_EQ(failureText(reply.get_future().get()),
              "Plain http is refused for http://example.com/v1/completions; the service needs https.");
}

// A slow reply is cut short by the client's time limit, or by cancelling every task of the session.
TEST(OpenAIClientExchange, TimeLimitAndCancellingEndTheExchange) {
    for (const bool cancel : {false, true}) {
        testing::CompletionServer server;
        server.reply(200, validResult, 5.0);
        OpenAI client({.token = "t", .host = server.address(), .timeoutInterval = cancel ? 30 : 0.5});
        const auto started = std::chrono::steady_clock::now();
        std::promise<Result<CompletionsResult>> reply;
        auto task =
            client.completions({.model = "m", .prompt = "p"}, [&](Result<CompletionsResult> r) { reply.set_value(r); });
        if (cancel) {
            server.waitForRequest();
            EXPECT_TRUE(task->isRunning());
            HTTPSession::shared().cancelAllTasks();
        }
        const auto result = reply.get_future().get();
        EXPECT_EQ(failureText(result), cancel ? "cancelled" : "The request timed out.");
        EXPECT_EQ(std::get<Failure>(result).kind, cancel ? Failure::Kind::cancelled : Failure::Kind::timedOut);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500));
    }
    EXPECT_TRUE(HTTPSession::shared().allTasks().empty());
}

} // namespace
} // namespace lexorra::openai
