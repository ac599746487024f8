#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The request and reply bodies of the text-completion service, named as the service names
// them in JSON. Optionals that are absent are left out of the JSON entirely.
namespace lexorra::openai {

// POST /v1/completions
struct CompletionsQuery {
    std::string model;
    std::string prompt;
    std::optional<double> temperature;
    std::optional<std::int64_t> maxTokens;
    std::optional<double> topP;
    std::optional<double> frequencyPenalty;
    std::optional<double> presencePenalty;
    std::optional<std::vector<std::string>> stop;
    std::optional<std::string> user;
    bool stream = false;
};

struct Choice {
    std::string text;
    std::int64_t index = 0;
    std::optional<std::string> finishReason;
};

struct Usage {
    std::int64_t promptTokens = 0;
    std::int64_t completionTokens = 0;
    std::int64_t totalTokens = 0;
};

struct CompletionsResult {
    std::string id;
    std::string object;
    double created = 0;
    std::string model;
    std::vector<Choice> choices;
    std::optional<Usage> usage;
};

struct APIError {
    std::string message;
    std::string type;
    std::optional<std::string> param;
    std::optional<std::string> code;
};

// The body the service sends instead of a result; its description is the error's message.
struct APIErrorResponse {
    APIError error;
};

enum class OpenAIError { emptyData };

// Why a request gave no result, described for a person.
struct Failure {
    enum class Kind { transport, cancelled, timedOut, emptyData, service, decoding };
    Kind kind = Kind::transport;
    std::string description;
};

template <class T> using Result = std::variant<T, Failure>;

} // namespace lexorra::openai
