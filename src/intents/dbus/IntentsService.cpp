#include "intents/dbus/IntentsService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

#include <memory>
#include <mutex>
#include <set>

namespace lexorra::intents {

namespace {

// One call waiting for its reply. Whoever claims it first (the work or the deadline) replies;
// the other then leaves the message alone.
struct PendingCall {
    PendingCall(QDBusConnection bus, QDBusMessage message) : bus(std::move(bus)), message(std::move(message)) {}
    bool claim() { return !answered.exchange(true); }

    QDBusConnection bus;
    QDBusMessage message;
    RunToken token;
    std::atomic<bool> answered{false};
};

// Calls still running, so that a service that quits can stop them instead of waiting out
// an AI exchange.
std::mutex liveCallsMutex;
std::set<std::shared_ptr<PendingCall>> liveCalls;

template <class Response> QVariantList reply(const Response& r) {
    return {static_cast<int>(r.code), QString::fromStdString(r.result), QString::fromStdString(r.error)};
}

const char* kindName(WorkflowResolutionResult::Kind kind) {
    switch (kind) {
    case WorkflowResolutionResult::Kind::success: return "success";
    case WorkflowResolutionResult::Kind::needsValue: return "needsValue";
    case WorkflowResolutionResult::Kind::disambiguation: return "disambiguation";
    case WorkflowResolutionResult::Kind::confirmationRequired: return "confirmationRequired";
    case WorkflowResolutionResult::Kind::unsupported: return "unsupported";
    }
    return "unsupported";
}

} // namespace

IntentsService::IntentsService(IntentHandler handler, QObject* parent)
    : IntentsService(std::move(handler), Limits{}, parent) {}

IntentsService::IntentsService(IntentHandler handler, Limits limits, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_limits(limits) {
    m_transforms.threads.setMaxThreadCount(m_limits.transformThreads);
    m_transforms.limit = m_limits.transformThreads + m_limits.queuedCalls;
    m_quick.threads.setMaxThreadCount(m_limits.quickThreads);
    m_quick.limit = m_limits.quickThreads + m_limits.queuedCalls;
}

IntentsService::~IntentsService() {
    m_transforms.threads.clear();
    m_quick.threads.clear();
    {
        std::lock_guard lock(liveCallsMutex);
        for (const auto& call : liveCalls)
            call->token.renew();
    }
    m_transforms.threads.waitForDone();
    m_quick.threads.waitForDone();
}

void IntentsService::answerLater(WorkPool& pool, std::function<QVariantList(const RunToken&)> work) {
    setDelayedReply(true);
    auto call = std::make_shared<PendingCall>(connection(), message());
    if (pool.pending.fetch_add(1) >= pool.limit) {
        pool.pending.fetch_sub(1);
        call->bus.send(call->message.createErrorReply(
            busyError, "The service is answering too many calls at once; try again in a moment."));
        return;
    }
    {
        std::lock_guard lock(liveCallsMutex);
        liveCalls.insert(call);
    }
    QTimer::singleShot(m_limits.deadline, this, [call, seconds = m_limits.deadline.count() / 1000] {
        if (!call->claim()) return;
        call->bus.send(call->message.createErrorReply(
            timedOutError, QString("The work did not end within %1 s and was stopped.").arg(seconds)));
        call->token.renew(); // the run sees itself stale and ends early
    });
    pool.threads.start([&pool, call, work = std::move(work)] {
        // A call whose deadline passed while it was queued is not worth starting.
        if (!call->answered.load()) {
            QVariantList values = work(call->token);
            if (call->claim()) {
                call->bus.send(call->message.createReply(values));
                // The deadline keeps the call until it fires: the request's text need not wait with it.
                call->message = QDBusMessage();
            }
        }
        {
            std::lock_guard lock(liveCallsMutex);
            liveCalls.erase(call);
        }
        pool.pending.fetch_sub(1);
    });
}

int IntentsService::TransformText(const QString& workflow, const QString& text, QString&, QString&) {
    answerLater(m_transforms, [this, ref = workflow.toStdString(), input = text.toStdString()](const RunToken& token) {
        return reply(m_handler.handleTransformText({input, Workflow{ref, ref}}, token));
    });
    return 0;
}

int IntentsService::MakeUppercase(const QString& text, QString&, QString&) {
    answerLater(m_quick, [this, input = text.toStdString()](const RunToken&) {
        return reply(m_handler.handleMakeUppercase({input}));
    });
    return 0;
}

QStringList IntentsService::WorkflowIds() {
    answerLater(m_quick, [this](const RunToken&) {
        QStringList ids;
        for (const auto& w : m_handler.provideWorkflowOptions())
            ids << QString::fromStdString(w.workflowID);
        return QVariantList{ids};
    });
    return {};
}

QStringList IntentsService::WorkflowNames() {
    answerLater(m_quick, [this](const RunToken&) {
        QStringList names;
        for (const auto& w : m_handler.provideWorkflowOptions())
            names << QString::fromStdString(w.name);
        return QVariantList{names};
    });
    return {};
}

QString IntentsService::ResolveWorkflow(const QString& workflow, QString&) {
    answerLater(m_quick, [this, ref = workflow.toStdString()](const RunToken&) {
        auto r = m_handler.resolveWorkflow(Workflow{ref, ref});
        const QString id = r.value ? QString::fromStdString(r.value->workflowID) : QString();
        return QVariantList{QString(kindName(r.kind)), id};
    });
    return {};
}

} // namespace lexorra::intents
