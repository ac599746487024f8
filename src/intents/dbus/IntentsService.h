#pragma once

#include "intents/Intents.h"

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVariantList>

#include <atomic>
#include <chrono>
#include <functional>

namespace lexorra::intents {

// The D-Bus face of the intent handler: every method is one call into IntentHandler.
// Replies carry the response code (4 success, 5 failure), the result and the error text.
//
// Calls are answered concurrently: each slot only queues its work and the reply is sent
// when the work ends, so a transform waiting on the AI service never holds up another
// call. Transforms and the quick calls have pools of their own, so slow transforms filling
// theirs still leave room for MakeUppercase and the workflow lists. A call still running
// at the deadline is answered with timedOutError and its run is told to stop; a call that
// finds its queue full is answered with busyError at once.
class IntentsService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lexorra.Lexorra.Intents")

public:
    struct Limits {
        int transformThreads = 8; // mostly waiting on the AI service, not computing
        int quickThreads = 2;
        int queuedCalls = 64; // per pool, beyond those running
        // Below the 25 s that D-Bus callers wait for a reply by default, so that they get
        // an error that says what happened rather than NoReply.
        std::chrono::milliseconds deadline{20000};
    };
    static constexpr const char* timedOutError = "org.lexorra.Lexorra.Intents.Error.TimedOut";
    static constexpr const char* busyError = "org.lexorra.Lexorra.Intents.Error.Busy";

    explicit IntentsService(IntentHandler handler, QObject* parent = nullptr);
    IntentsService(IntentHandler handler, Limits limits, QObject* parent = nullptr);
    ~IntentsService() override;

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
    // A pool whose queue is bounded: QThreadPool alone would queue without limit.
    struct WorkPool {
        QThreadPool threads;
        std::atomic<int> pending{0};
        int limit = 0;
    };
    // Replies to the current call later with the values `work` returns (run on `pool`).
    void answerLater(WorkPool& pool, std::function<QVariantList(const RunToken&)> work);

    IntentHandler m_handler;
    Limits m_limits;
    WorkPool m_transforms;
    WorkPool m_quick;
};

} // namespace lexorra::intents
