#include "actions/data/openai/OpenAIJson.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <stdexcept>

namespace lexorra::openai::json {

namespace {

using Json = nlohmann::ordered_json;

// A decoding failure, with the path of the key that did not fit.
class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& path, const std::string& problem) {
    throw DecodeError("The reply could not be read: " + problem + " at \"" + path + "\".");
}

const Json& required(const Json& object, const char* key, const std::string& path) {
    if (!object.is_object()) fail(path, "expected an object");
    const auto it = object.find(key);
    if (it == object.end()) fail(path.empty() ? key : path + "." + key, "a required key is missing");
    return *it;
}

const Json* optional(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return nullptr;
    return &*it;
}

std::string child(const std::string& path, const char* key) { return path.empty() ? key : path + "." + key; }

std::string readString(const Json& value, const std::string& path) {
    if (!value.is_string()) fail(path, "expected a text");
    return value.get<std::string>();
}

double readDouble(const Json& value, const std::string& path) {
    if (!value.is_number()) fail(path, "expected a number");
    return value.get<double>();
}

std::int64_t readInteger(const Json& value, const std::string& path) {
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18) return static_cast<std::int64_t>(d);
    }
    fail(path, "expected an integer");
}

std::string text(const Json& object, const char* key, const std::string& path) {
    return readString(required(object, key, path), child(path, key));
}

std::optional<std::string> optionalText(const Json& object, const char* key, const std::string& path) {
    if (const Json* value = optional(object, key)) return readString(*value, child(path, key));
    return std::nullopt;
}

std::int64_t integer(const Json& object, const char* key, const std::string& path) {
    return readInteger(required(object, key, path), child(path, key));
}

Json parseBody(std::string_view body) {
    Json parsed = Json::parse(body, nullptr, false);
    if (parsed.is_discarded()) throw DecodeError("The reply could not be read: it is not valid JSON.");
    if (!parsed.is_object()) fail("", "expected an object");
    return parsed;
}

template <class T, class F> Result<T> decodeWith(std::string_view body, F read) {
    try {
        return read(parseBody(body));
    } catch (const DecodeError& e) {
        return Failure{Failure::Kind::decoding, e.what()};
    } catch (const std::exception& e) {
        return Failure{Failure::Kind::decoding, std::string("The reply could not be read: ") + e.what()};
    }
}

} // namespace

std::string encode(const CompletionsQuery& query) {
    Json body = Json::object();
    body["model"] = query.model;
    body["prompt"] = query.prompt;
    if (query.temperature) body["temperature"] = *query.temperature;
    if (query.maxTokens) body["max_tokens"] = *query.maxTokens;
    if (query.topP) body["top_p"] = *query.topP;
    if (query.frequencyPenalty) body["frequency_penalty"] = *query.frequencyPenalty;
    if (query.presencePenalty) body["presence_penalty"] = *query.presencePenalty;
    if (query.stop) body["stop"] = *query.stop;
    if (query.user) body["user"] = *query.user;
    body["stream"] = query.stream;
    // Invalid UTF-8 in a prompt is replaced rather than failing the whole request.
    return body.dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

Result<CompletionsResult> decodeCompletionsResult(std::string_view body) {
    return decodeWith<CompletionsResult>(body, [](const Json& root) {
        CompletionsResult result;
        result.id = text(root, "id", "");
        result.object = text(root, "object", "");
        result.created = readDouble(required(root, "created", ""), "created");
        result.model = text(root, "model", "");
        const Json& choices = required(root, "choices", "");
        if (!choices.is_array()) fail("choices", "expected a list");
        for (std::size_t i = 0; i < choices.size(); ++i) {
            const std::string path = "choices[" + std::to_string(i) + "]";
            Choice choice;
            choice.text = text(choices[i], "text", path);
            choice.index = integer(choices[i], "index", path);
            choice.finishReason = optionalText(choices[i], "finish_reason", path);
            result.choices.push_back(std::move(choice));
        }
        if (const Json* usage = optional(root, "usage")) {
            result.usage = Usage{integer(*usage, "prompt_tokens", "usage"), integer(*usage, "completion_tokens", "usage"),
                                 integer(*usage, "total_tokens", "usage")};
        }
        return result;
    });
}

Result<APIErrorResponse> decodeAPIErrorResponse(std::string_view body) {
    return decodeWith<APIErrorResponse>(body, [](const Json& root) {
        const Json& error = required(root, "error", "");
        APIErrorResponse response;
        response.error.message = text(error, "message", "error");
        response.error.type = text(error, "type", "error");
        response.error.param = optionalText(error, "param", "error");
        response.error.code = optionalText(error, "code", "error");
        return response;
    });
}

} // namespace lexorra::openai::json
