#include "actions/data/TextActionChatGPT.h"

#include "actions/data/openai/HTTPSession.h"
#include "actions/data/openai/OpenAI.h"
#include "actions/data/openai/PromptBudget.h"
#include "core/SharedApiKey.h"
#include "core/NetworkActivity.h"
#include "text/Cancellation.h"
#include "text/Lines.h"

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <semaphore>

namespace lexorra {

namespace {

std::mutex busyMutex;
std::function<void(bool)> busyHandler;

void setBusy(bool busy) {
    std::function<void(bool)> handler;
    {
        std::lock_guard lock(busyMutex);
        handler = busyHandler;
    }
    if (handler) handler(busy);
}

std::string inputPart(std::string_view text) {
    if (text::trimWhitespaceAndNewlines(text).empty()) return {};
    return "The input text is:" + std::string(text);
}

} // namespace

const OptionList& TextActionChatGPT::options() const {
    static const OptionList decls = {
        bind({.key = "Prompt",
              .label = "Prompt",
              .kind = OptionKind::multilineText,
              .hint = "Examples: \nTranslate input text to Spanish\nWrite a summary of text\nFix any grammar and "
                      "spelling errors",
              .required = true,
              .rejectInvalid = true},
             &TextActionChatGPT::prompt),
    };
    return decls;
}

std::string TextActionChatGPT::apiKey() const {
    return openai::readSharedApiKey();
}

std::string TextActionChatGPT::panelNote() const {
    return apiKey().empty() ? std::string(missingKeyHint) : "";
}

void TextActionChatGPT::setBusyIndicatorHandler(std::function<void(bool)> handler) {
    std::lock_guard lock(busyMutex);
    busyHandler = std::move(handler);
}

std::string TextActionChatGPT::serviceHost() {
    if (const char* address = std::getenv("LEXORRA_OPENAI_ADDRESS");
        address && openai::HTTPSession::isLoopbackHttp(address))
        return address;
    return openai::readSharedServiceHost();
}

openai::CompletionsQuery TextActionChatGPT::makeQuery(std::string_view text) const {
    const std::string input = inputPart(text);
    openai::CompletionsQuery query;
    query.model = std::string(model);
    query.prompt = prompt + "." + input;
    query.temperature = 0.0;
    query.maxTokens = openai::estimateMaxTokens(input, prompt);
    query.topP = 1.0;
    query.frequencyPenalty = 0.0;
    query.presencePenalty = 0.0;
    query.stop = std::vector<std::string>{"\\n"};
    query.stream = false;
    return query;
}

std::string TextActionChatGPT::transform(std::string_view text) const {
    setBusy(true);
    std::string result;
    try {
        result = exchange(text);
    } catch (const std::exception& e) {
        result = " -- ERROR:" + std::string(e.what()) + " -- ";
    }
    setBusy(false);
    return result;
}

std::string TextActionChatGPT::exchange(std::string_view text) const {
    // A newer run supersedes every exchange still in flight of runs of the same token: the
    // window's earlier runs, but not another call that the intents service answers meanwhile.
    openai::HTTPSession::shared().cancelTasks(currentRun());

    const std::string key = apiKey();
    if (const std::string problem = openai::apiKeyProblem(key); !problem.empty())
        return " -- ERROR:" + problem + " -- ";
    openai::OpenAI client({.token = key,
                           .host = serviceHost(),
                           .timeoutInterval = timeoutInterval,
                           .caBundle = openai::readSharedCABundle(),
                           .group = currentRun()});

    // The completion writes the result once before releasing the semaphore; the waiting
    // thread reads it only after acquiring, so the two never overlap.
    auto result = std::make_shared<std::string>();
    auto done = std::make_shared<std::binary_semaphore>(0);
    auto task = client.completions(makeQuery(text), [result, done](openai::Result<openai::CompletionsResult> reply) {
        if (const auto* completions = std::get_if<openai::CompletionsResult>(&reply)) {
            if (!completions->choices.empty())
                *result = std::string(text::trimWhitespaceAndNewlines(completions->choices.front().text));
        } else {
            *result = " -- ERROR:" + std::get<openai::Failure>(reply).description + " -- ";
        }
        done->release();
    });

    // No time limit of our own: the request's timeout ends the wait. Meanwhile a run that
    // became stale ends its own exchange.
    while (!done->try_acquire_for(std::chrono::milliseconds(50))) {
        if (runIsStale()) task->cancel();
    }
    return *result;
}

void setNetworkBusyHandler(std::function<void(bool)> handler) {
    TextActionChatGPT::setBusyIndicatorHandler(std::move(handler));
}

void cancelNetworkRequests() {
    openai::HTTPSession::shared().cancelAllTasks();
}

LEXORRA_ACTION_FACTORY(TextActionChatGPT)

} // namespace lexorra
