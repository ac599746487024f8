#include "intents/dbus/IntentsService.h"

namespace lexorra::intents {

IntentsService::IntentsService(IntentHandler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

int IntentsService::TransformText(const QString& workflow, const QString& text, QString& result, QString& error) {
    const std::string ref = workflow.toStdString();
    auto r = m_handler.handleTransformText({text.toStdString(), Workflow{ref, ref}});
    result = QString::fromStdString(r.result);
    error = QString::fromStdString(r.error);
    return static_cast<int>(r.code);
}

int IntentsService::MakeUppercase(const QString& text, QString& result, QString& error) {
    auto r = m_handler.handleMakeUppercase({text.toStdString()});
    result = QString::fromStdString(r.result);
    error = QString::fromStdString(r.error);
    return static_cast<int>(r.code);
}

QStringList IntentsService::WorkflowIds() {
    QStringList ids;
    for (const auto& w : m_handler.provideWorkflowOptions()) ids << QString::fromStdString(w.workflowID);
    return ids;
}

QStringList IntentsService::WorkflowNames() {
    QStringList names;
    for (const auto& w : m_handler.provideWorkflowOptions()) names << QString::fromStdString(w.name);
    return names;
}

QString IntentsService::ResolveWorkflow(const QString& workflow, QString& workflowId) {
    const std::string ref = workflow.toStdString();
    auto r = m_handler.resolveWorkflow(Workflow{ref, ref});
    workflowId = r.value ? QString::fromStdString(r.value->workflowID) : QString();
    switch (r.kind) {
    case WorkflowResolutionResult::Kind::success: return "success";
    case WorkflowResolutionResult::Kind::needsValue: return "needsValue";
    case WorkflowResolutionResult::Kind::disambiguation: return "disambiguation";
    case WorkflowResolutionResult::Kind::confirmationRequired: return "confirmationRequired";
    case WorkflowResolutionResult::Kind::unsupported: return "unsupported";
    }
    return "unsupported";
}

} // namespace lexorra::intents
