#include "actions/data/TextActionChatGPT.h"
#include "actions/data/CompletionServer.h"
#include "actions/data/openai/OpenAI.h"
#include "actions/data/openai/OpenAITypes.h"
#include "actions/data/openai/PromptBudget.h"
#include "core/SettingsStore.h"
#include "core/SharedApiKey.h"
#include "support/ActionCases.h"
#include "support/TemporaryXdgHome.h"
#include "text/Cancellation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <cstdlib>
#include <future>
#include <mutex>

namespace lexorra {
namespace {

std::string completionBody(const std::string& text) {
    return R"({"id":"c","object":"text_completion","created":1,"model":"gpt-3.5-turbo-instruct","choices":[{"text":)" +
           nlohmann::json(text).dump() + R"(,"index":0,"finish_reason":"stop"}]})";
}

// Each test gets its own server, settings folder and a key in the shared settings.
class ChatGPTExchange : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LEXORRA_OPENAI_ADDRESS", server.address().c_str(), 1);
        setApiKey("sk-test-123");
        action.prompt = "Translate to Spanish";
    }
    void TearDown() override { unsetenv("LEXORRA_OPENAI_ADDRESS"); }

    void setApiKey(const std::string& key) { ASSERT_TRUE(Settings().setValue("apiKey", Value(key))); }

    nlohmann::json lastRequest() { return nlohmann::json::parse(server.lastRequest()); }
    nlohmann::json sentBody() { return nlohmann::json::parse(lastRequest()["body"].get<std::string>()); }

    // Text budgets depend on the display name of the guessed language in the current locale.
    testing::ScopedLocale locale{"en_US"};
    testing::TemporaryXdgHome home;
    testing::CompletionServer server;
    TextActionChatGPT action;
};

// ---- Token budget

TEST(PromptBudget, CountsWordsNotSpacesOrPunctuation) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 0},
        {"  \n ", 0},
        {"Hello, world!", 2},
        {"The input text is:Hello world", 6},
        {"it's 42 — fine.", 3},
        {"worldTranslate to Spanish", 3},
    };
    testing::ScopedLocale locale("en_US");
    for (const auto& [text, words] : cases)
        EXPECT_EQ(openai::countWords(text), words) << text;
}

TEST(PromptBudget, FollowsTheInputsLanguageAndEnglishDropsTheWordTerm) {
    testing::ScopedLocale locale("en_US");
    const std::string english = "The input text is:Please tell me how the weather will be tomorrow in the city";
    ASSERT_NE(openai::dominantLanguageDisplayName(english).find("english"), std::string::npos)
        << openai::dominantLanguageDisplayName(english);
    // 77 ASCII bytes: base = 0 + 77 / 4 = 19.
    EXPECT_EQ(openai::estimateMaxTokens(english, "Translate"), 3800 - 19);

    const std::string german = "The input text is:Ich möchte heute Abend mit meinen guten Freunden ins Kino gehen";
    ASSERT_EQ(openai::dominantLanguageDisplayName(german), "german");
    // 82 bytes, 81 characters: base = 1 / 2 + 82 / 4 = 20; words: 4 + 10 + "gehenÜbersetze"
    // (the input's last word runs into the prompt), 15 in all: 3800 - (15 / 0.75 + 20) = 3760.
    EXPECT_EQ(openai::estimateMaxTokens(german, "Übersetze"), 3760);

    // Without an input part only the prompt's words count.
    EXPECT_EQ(openai::dominantLanguageDisplayName(""), "");
    EXPECT_EQ(openai::dominantLanguageDisplayName("12345 !!"), "");
    EXPECT_EQ(openai::dominantLanguageDisplayName("Hola amigo, ¿cómo estás?"), "spanish");
    // 3 words: 3800 - 3 / 0.75 = 3796.
    EXPECT_EQ(openai::estimateMaxTokens("", "Write a poem"), 3796);
}

// ---- Exchanges with the stand-in service

TEST_F(ChatGPTExchange, RequestBodyAndHeadersAreExactAndTheBusyIndicatorGoesOnThenOff) {
    std::mutex mutex;
    std::vector<bool> busy;
    TextActionChatGPT::setBusyIndicatorHandler([&](bool on) {
        std::lock_guard lock(mutex);
        busy.push_back(on);
    });
    server.reply(200, completionBody("Hola mundo"));
    EXPECT_EQ(action.transform("Hello world"), "Hola mundo");
    TextActionChatGPT::setBusyIndicatorHandler({});
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    const auto request = lastRequest();
    EXPECT_EQ(request["method"], "POST");
    EXPECT_EQ(request["path"], "/v1/completions");
    EXPECT_EQ(request["headers"]["Authorization"], "Bearer sk-test-123");
    EXPECT_FALSE(request["headers"].contains("OpenAI-Organization"));
    const std::int64_t maxTokens = openai::estimateMaxTokens("The input text is:Hello world", "Translate to Spanish");
    EXPECT_EQ(request["body"].get<std::string>(),
              R"({"model":"gpt-3.5-turbo-instruct","prompt":"Translate to Spanish.The input text is:Hello world",)"
              R"("temperature":0.0,"max_tokens":)" +
                  std::to_string(maxTokens) +
                  R"(,"top_p":1.0,"frequency_penalty":0.0,"presence_penalty":0.0,"stop":["\\n"],"stream":false})");
    EXPECT_GT(maxTokens, 3700);
}

TEST_F(ChatGPTExchange, PromptTextRules) {
    server.reply(200, completionBody("ok"));
    const std::pair<std::string, std::string> cases[] = {
        {"  padded \n", "Translate to Spanish.The input text is:  padded \n"},
        {"   \n\t \n", "Translate to Spanish."},
        {"", "Translate to Spanish."},
        {"\u00a0\u2003", "Translate to Spanish."},
    };
    for (const auto& [input, prompt] : cases) {
        EXPECT_EQ(action.transform(input), "ok");
        EXPECT_EQ(sentBody()["prompt"], prompt) << '"' << input << '"';
    }
}

TEST_F(ChatGPTExchange, ReplyHandling) {
    const std::pair<std::string, std::string> cases[] = {
        {completionBody("\n\nHola mundo\n"), "Hola mundo"},
        {completionBody(" \t Hola\nmundo \n\n"), "Hola\nmundo"},
        {completionBody(""), ""},
        {R"({"id":"c","object":"o","created":1,"model":"m","choices":[]})", ""},
        {R"({"id":"c","object":"o","created":1,"model":"m","choices":[{"text":"first","index":0},{"text":"second","index":1}]})",
         "first"},
    };
    for (const auto& [body, expected] : cases) {
        server.reply(200, body);
        EXPECT_EQ(action.transform("Hello"), expected) << body;
    }
}

TEST_F(ChatGPTExchange, MissingKeyStillSendsTheRequest) {
    std::filesystem::remove(home.groupFile());
    server.reply(401, R"({"error":{"message":"You didn't provide an API key.","type":"invalid_request_error"}})");
    EXPECT_EQ(action.transform("Hello"), " -- ERROR:You didn't provide an API key. -- ");
    EXPECT_EQ(lastRequest()["headers"]["Authorization"], "Bearer ");
}

// A key holding a line break never becomes a header of its own: the action refuses it, and so
// does the HTTP client for a caller that skips the action's check.
TEST_F(ChatGPTExchange, KeyWithControlCharactersIsNeverSent) {
    server.reply(200, completionBody("sent"));
    const std::string injected = "sk-a\r\nX-Injected: yes";
    setApiKey(injected);
    EXPECT_EQ(action.transform("Hello"), " -- ERROR:" + openai::apiKeyProblem(injected) + " -- ");
    std::promise<openai::Result<openai::CompletionsResult>> reply;
    openai::OpenAI({.token = injected, .host = server.address()})
        .completions(action.makeQuery("Hello"), [&reply](auto r) { reply.set_value(std::move(r)); });
    const auto failure = std::get<openai::Failure>(reply.get_future().get());
    EXPECT_EQ(failure.description,
              "The request header \"Authorization\" holds a control character; the request was not sent.");
    for (const char* key : {"sk-a\nb", "sk-\tb", "sk-\x7f"})
        EXPECT_NE(openai::apiKeyProblem(key), "") << key;
    EXPECT_FALSE(server.hasRequest());

    // The wire check itself: a clean key arrives as one header line, and nothing else follows it;
    // line breaks around a hand-edited key are not part of it.
    setApiKey("sk-clean\r\n");
    EXPECT_EQ(action.transform("Hello"), "sent");
    const std::string raw = lastRequest()["raw"];
    EXPECT_NE(raw.find("\nAuthorization: Bearer sk-clean\n"), std::string::npos) << raw;
    EXPECT_EQ(raw.find("X-Injected"), std::string::npos) << raw;
}

TEST_F(ChatGPTExchange, LongInputSendsTheFallbackBudget) {
    server.reply(200, completionBody("short"));
    const std::string longInput = testing::repeat("Lorem ipsum dolor sit amet. ", 1072); // 30,016 bytes
    EXPECT_EQ(action.transform(longInput), "short");
    EXPECT_EQ(sentBody()["max_tokens"], 150);
    EXPECT_EQ(sentBody()["prompt"], "Translate to Spanish.The input text is:" + longInput);
}

// A superseded run ends its exchange at once, whether a newer run starts or its own scope turns stale.
TEST_F(ChatGPTExchange, SupersededRunEndsItsExchange) {
    for (const bool newRun : {true, false}) {
        server.reply(200, completionBody("slow answer"), 5.0);
        server.forgetRequest();
        std::atomic<bool> stale{false};
        auto first = std::async(std::launch::async, [&] {
            CancellationScope scope([&] { return stale.load(); });
            return action.transform("first");
        });
        server.waitForRequest();
        const auto started = std::chrono::steady_clock::now();
        if (newRun) {
            server.reply(200, completionBody("fast answer"));
            EXPECT_EQ(action.transform("second"), "fast answer");
        } else {
            stale = true;
        }
        EXPECT_EQ(first.get(), " -- ERROR:cancelled -- ") << newRun;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(3000)) << newRun;
    }
}

} // namespace
} // namespace lexorra
