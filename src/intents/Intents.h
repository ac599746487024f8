#pragma once

#include "core/RunToken.h"
#include "core/TextActionSeq.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexorra::intents {

// The response codes of both intents, in the automation framework's standard order.
enum class IntentResponseCode : int {
    unspecified = 0,
    ready = 1,
    continueInApp = 2,
    inProgress = 3,
    success = 4,
    failure = 5,
    failureRequiringAppLaunch = 6,
};
std::optional<IntentResponseCode> intentResponseCodeFromRaw(long long raw);

// The workflow parameter: an identifier and a display string.
struct Workflow {
    std::string workflowID;
    std::string name;
};

struct TransformTextIntent {
    std::string text;
    std::optional<Workflow> workflow;
};

struct MakeUppercaseIntent {
    std::string text;
};

// Why a request failed, for callers that act on it (the CLI's exit codes); the user reads
// the error text.
enum class IntentError { none, unknownWorkflow, noWorkflow, emptyText, other };

// Both responses share one shape: a code, the result on success, the error on failure.
template <class Tag> struct IntentResponse {
    IntentResponseCode code = IntentResponseCode::unspecified;
    std::string result;
    std::string error;
    IntentError errorKind = IntentError::none;

    static IntentResponse success(std::string result) {
        return {IntentResponseCode::success, std::move(result), {}, IntentError::none};
    }
    static IntentResponse failure(std::string error, IntentError kind = IntentError::other) {
        return {IntentResponseCode::failure, {}, std::move(error), kind};
    }
};
using TransformTextIntentResponse = IntentResponse<struct TransformTextTag>;
using MakeUppercaseIntentResponse = IntentResponse<struct MakeUppercaseTag>;

// Unsupported reasons have a single case with raw value 1.
enum class UnsupportedReason : int { noWorkflow = 1 };
std::optional<UnsupportedReason> unsupportedReasonFromRaw(long long raw);

// What resolving a parameter gives.
template <class T> struct Resolution {
    enum class Kind { success, needsValue, disambiguation, confirmationRequired, unsupported } kind = Kind::needsValue;
    std::optional<T> value;
    std::vector<T> options;
    std::optional<UnsupportedReason> reason;

    static Resolution success(T v) { return {Kind::success, std::move(v), {}, {}}; }
    static Resolution needsValue() { return {Kind::needsValue, {}, {}, {}}; }
    static Resolution disambiguation(std::vector<T> opts) { return {Kind::disambiguation, {}, std::move(opts), {}}; }
    static Resolution unsupported(UnsupportedReason r) { return {Kind::unsupported, {}, {}, r}; }
};
using WorkflowResolutionResult = Resolution<Workflow>;
using TextResolutionResult = Resolution<std::string>;

// The handler of the application group: answers both intents from the shared workflow list,
// read afresh on every call so that edits in the application are seen at once.
//
//   IntentHandler handler([] { return loadSharedWorkflows(); });
//   auto r = handler.handleTransformText({"Hello", Workflow{"", "Tidy"}});
class IntentHandler {
public:
    // Returns the shared workflow list, or nullopt with an error when the store is unreadable.
    using WorkflowSource = std::function<std::optional<std::vector<TextActionSeqPtr>>(std::string& error)>;
    explicit IntentHandler(WorkflowSource source) : m_source(std::move(source)) {}

    TransformTextIntentResponse handleTransformText(const TransformTextIntent& intent) const;
    // The same, watching `token`: renewing it from another thread ends the run early (a caller
    // that gave up waiting), its result then being of no use.
    TransformTextIntentResponse handleTransformText(const TransformTextIntent& intent, const RunToken& token) const;
    MakeUppercaseIntentResponse handleMakeUppercase(const MakeUppercaseIntent& intent) const;
    TextResolutionResult resolveText(const std::string& text) const;
    // By id first, then by exact name; several workflows of that name ask to choose.
    WorkflowResolutionResult resolveWorkflow(const std::optional<Workflow>& workflow) const;
    std::vector<Workflow> provideWorkflowOptions() const;

    // Error texts.
    static constexpr const char* unknownWorkflowError = "There is no workflow named \"%s\".";
    static constexpr const char* noWorkflowError = "Choose a workflow to transform the text with.";
    static constexpr const char* emptyTextError = "There is no text to transform.";

private:
    WorkflowSource m_source;
};

} // namespace lexorra::intents
