#pragma once

#include "intents/Intents.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace lexorra::intents {

// The D-Bus face of the intent handler: every method is one call into IntentHandler.
// Replies carry the response code (4 success, 5 failure), the result and the error text.
class IntentsService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lexorra.Lexorra.Intents")

public:
    explicit IntentsService(IntentHandler handler, QObject* parent = nullptr);

public slots:
    // workflow: a workflow id, or its exact name when no id matches.
    int TransformText(const QString& workflow, const QString& text, QString& result, QString& error);
    int MakeUppercase(const QString& text, QString& result, QString& error);
    // Ids and names of the shared workflows, in list order.
    QStringList WorkflowIds();
    QStringList WorkflowNames();
    // "success", "needsValue", "disambiguation" or "unsupported", with the resolved id.
    QString ResolveWorkflow(const QString& workflow, QString& workflowId);

private:
    IntentHandler m_handler;
};

} // namespace lexorra::intents
