#include "intents/Intents.h"

#include "core/RunToken.h"
#include "core/WorkflowDocuments.h"
#include "core/WorkflowRuns.h"
#include "text/Case.h"

namespace lexorra::intents {

std::optional<IntentResponseCode> intentResponseCodeFromRaw(long long raw) {
    if (raw < 0 || raw > 6) return std::nullopt;
    return static_cast<IntentResponseCode>(raw);
}

std::optional<UnsupportedReason> unsupportedReasonFromRaw(long long raw) {
    if (raw != 1) return std::nullopt;
    return UnsupportedReason::noWorkflow;
}

namespace {

std::string unknownWorkflow(const std::string& name) {
    std::string text = IntentHandler::unknownWorkflowError;
    text.replace(text.find("%s"), 2, name);
    return text;
}

} // namespace

TextResolutionResult IntentHandler::resolveText(const std::string& text) const {
    if (text.empty()) return TextResolutionResult::needsValue();
    return TextResolutionResult::success(text);
}

WorkflowResolutionResult IntentHandler::resolveWorkflow(const std::optional<Workflow>& workflow) const {
    if (!workflow || (workflow->workflowID.empty() && workflow->name.empty()))
        return WorkflowResolutionResult::needsValue();
    std::string error;
    auto list = m_source(error);
    if (!list) return WorkflowResolutionResult::unsupported(UnsupportedReason::noWorkflow);
    if (auto seq = findWorkflow(*list, workflow->workflowID, {}))
        return WorkflowResolutionResult::success({seq->id, seq->name});
    // Unlike a run, a name shared by several workflows is handed back for the user to choose.
    std::vector<Workflow> named;
    const std::string& wanted = workflow->name.empty() ? workflow->workflowID : workflow->name;
    for (const auto& seq : *list)
        if (seq->name == wanted) named.push_back({seq->id, seq->name});
    if (named.size() == 1) return WorkflowResolutionResult::success(named.front());
    if (named.size() > 1) return WorkflowResolutionResult::disambiguation(std::move(named));
    return WorkflowResolutionResult::unsupported(UnsupportedReason::noWorkflow);
}

std::vector<Workflow> IntentHandler::provideWorkflowOptions() const {
    std::string error;
    std::vector<Workflow> options;
    if (auto list = m_source(error))
        for (const auto& seq : *list) options.push_back({seq->id, seq->name});
    return options;
}

TransformTextIntentResponse IntentHandler::handleTransformText(const TransformTextIntent& intent) const {
    // The handler runs on its own: no computation of the application can supersede it.
    const RunToken ownToken;
    return handleTransformText(intent, ownToken);
}

TransformTextIntentResponse IntentHandler::handleTransformText(const TransformTextIntent& intent,
                                                               const RunToken& token) const {
    if (!intent.workflow || (intent.workflow->workflowID.empty() && intent.workflow->name.empty()))
        return TransformTextIntentResponse::failure(noWorkflowError, IntentError::noWorkflow);
    if (intent.text.empty()) return TransformTextIntentResponse::failure(emptyTextError, IntentError::emptyText);
    std::string error;
    auto list = m_source(error);
    if (!list) return TransformTextIntentResponse::failure(error);

    const std::string& name = intent.workflow->name.empty() ? intent.workflow->workflowID : intent.workflow->name;
    const TextActionSeqPtr found = findWorkflow(*list, intent.workflow->workflowID, name);
    if (!found) return TransformTextIntentResponse::failure(unknownWorkflow(name), IntentError::unknownWorkflow);
    RunEnvironment environment(lookupIn(*list));
    return TransformTextIntentResponse::success(found->run(intent.text, token));
}

MakeUppercaseIntentResponse IntentHandler::handleMakeUppercase(const MakeUppercaseIntent& intent) const {
    if (intent.text.empty()) return MakeUppercaseIntentResponse::failure(emptyTextError, IntentError::emptyText);
    return MakeUppercaseIntentResponse::success(text::upper(intent.text));
}

} // namespace lexorra::intents
