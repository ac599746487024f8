#pragma once

#include "core/TextAction.h"

#include <functional>
#include <string>
#include <string_view>

namespace lexorra {

namespace openai {
struct CompletionsQuery;
}

// Sends the user's instruction with the input text to the text-completion service and returns
// the generated text. The transform blocks its thread until the exchange ends; starting a run
// ends the exchanges of earlier runs, and a run that turns stale ends its own.
class TextActionChatGPT : public TextAction {
public:
    TextActionChatGPT() : TextAction(TextActionType::chatGPT) {}

    std::string prompt;

    // The application-wide key from the shared settings, read afresh on every run.
    std::string apiKey() const;

    std::string transform(std::string_view text) const override;
    const OptionList& options() const override;
    // missingKeyHint while the key setting is empty.
    std::string panelNote() const override;

    // The request a transform of `text` sends (also for inspecting it without a network).
    openai::CompletionsQuery makeQuery(std::string_view text) const;

    // Where the busy indicator for remote results goes: the results controller installs a
    // handler that queues the change on the main thread. Called with true before the
    // exchange and false after it.
    static void setBusyIndicatorHandler(std::function<void(bool)> handler);

    // The service's address: the host chosen in the preferences, else the built-in one.
    // Tests may point it at a server on this machine with
    // LEXORRA_OPENAI_ADDRESS=http://127.0.0.1:PORT; other values are ignored.
    static std::string serviceHost();

    // Shown in grey under the prompt while the key setting is empty.
    static constexpr std::string_view missingKeyHint = "Set your OpenAI API Key on app settings.";
    static constexpr double timeoutInterval = 120.0;
    static constexpr std::string_view model = "gpt-3.5-turbo-instruct";

private:
    std::string exchange(std::string_view text) const;
};

} // namespace lexorra
