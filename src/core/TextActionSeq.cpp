#include "core/TextActionSeq.h"

#include "core/ActionFactory.h"
#include "core/Diagnostics.h"
#include "core/Json.h"
#include "core/RunToken.h"
#include "core/TextFile.h"
#include "core/Uuid.h"
#include "core/WorkflowRuns.h"
#include "text/Cancellation.h"
#include "text/Case.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

namespace lexorra {
namespace {

thread_local RunEnvironment* t_environment = nullptr;

// The workflow runs under way on this thread, outermost first: a Run Workflow step finds
// the token it runs under and the workflows it must not come back to.
struct ActiveRun {
    const TextActionSeq* workflow;
    const RunToken* token;
};
thread_local std::vector<ActiveRun> t_runs;
// The trace path of the step being transformed, when a trace is kept.
thread_local std::string t_stepPath;

class ActiveRunScope {
public:
    ActiveRunScope(const TextActionSeq* workflow, const RunToken* token) { t_runs.push_back({workflow, token}); }
    ~ActiveRunScope() { t_runs.pop_back(); }
    ActiveRunScope(const ActiveRunScope&) = delete;
    ActiveRunScope& operator=(const ActiveRunScope&) = delete;
};

std::string_view trimmedTitle(TextActionType kind) {
    std::string_view t = title(kind);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

} // namespace

RunEnvironment::RunEnvironment(Lookup lookup, std::vector<StepRecord>* trace)
    : m_lookup(std::move(lookup)), m_trace(trace), m_previous(t_environment) {
    t_environment = this;
}

RunEnvironment::~RunEnvironment() { t_environment = m_previous; }

RunEnvironment* RunEnvironment::current() { return t_environment; }

RunEnvironment::Lookup lookupIn(std::vector<std::shared_ptr<TextActionSeq>> workflows) {
    return [workflows = std::move(workflows)](std::string_view id) -> std::shared_ptr<const TextActionSeq> {
        for (const auto& workflow : workflows)
            if (workflow->id == id) return workflow;
        return nullptr;
    };
}

std::string runNestedWorkflow(std::string_view id, std::string_view text) {
    for (const auto& run : t_runs)
        if (run.workflow->id == id) return std::string(markers::workflowRunsItself);
    auto target = t_environment ? t_environment->find(id) : nullptr;
    if (!target)
        return std::string(markers::missingWorkflowPrefix) + std::string(id) + std::string(markers::missingWorkflowSuffix);
    const RunToken& token = t_runs.empty() ? RunToken::application() : *t_runs.back().token;
    const std::string prefix = t_stepPath.empty() ? std::string() : t_stepPath + ".";
    return target->runOver(text, nullptr, token, prefix);
}

namespace {

void collectUsed(const TextActionSeq& workflow, const RunEnvironment::Lookup& lookup, std::vector<std::string>& found,
                 std::vector<std::string>& path) {
    path.push_back(workflow.id);
    for (const auto& action : workflow.actionsArray) {
        if (action->type != TextActionType::runWorkflow) continue;
        const std::string id = action->optionValue("WorkflowID").isString() ? action->optionValue("WorkflowID").asString()
                                                                             : std::string();
        if (id.empty() || std::find(found.begin(), found.end(), id) != found.end()) continue;
        if (std::find(path.begin(), path.end(), id) != path.end()) {
            found.push_back(id); // a cycle: the id is named, never walked again
            continue;
        }
        auto used = lookup ? lookup(id) : nullptr;
        if (!used) continue;
        found.push_back(id);
        collectUsed(*used, lookup, found, path);
    }
    path.pop_back();
}

} // namespace

std::vector<std::string> workflowsUsedBy(const TextActionSeq& workflow, const RunEnvironment::Lookup& lookup) {
    std::vector<std::string> found, path;
    collectUsed(workflow, lookup, found, path);
    std::erase(found, workflow.id);
    return found;
}

bool reaches(const TextActionSeq& workflow, std::string_view target, const RunEnvironment::Lookup& lookup) {
    if (workflow.id == target) return true;
    const auto used = workflowsUsedBy(workflow, lookup);
    return std::find(used.begin(), used.end(), target) != used.end();
}

std::optional<SeqType> seqTypeFromRaw(long long raw) {
    if (raw == 0) return SeqType::action;
    if (raw == 1) return SeqType::workFlow;
    return std::nullopt;
}

TextActionSeq::TextActionSeq(std::string seqName) : id(makeUuid()), name(std::move(seqName)) {}

std::shared_ptr<TextActionSeq> TextActionSeq::copy() const {
    auto result = std::make_shared<TextActionSeq>(name);
    result->allowToEdit = allowToEdit;
    result->icon = icon;
    for (const auto& action : actionsArray) result->actionsArray.push_back(action->copy());
    return result;
}

bool TextActionSeq::moveAction(size_t from, size_t to) {
    const size_t count = actionsArray.size();
    if (from >= count || to >= count || from == to) return false;
    const auto at = [this](size_t i) { return actionsArray.begin() + static_cast<std::ptrdiff_t>(i); };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else
        std::rotate(at(to), at(from), at(from + 1));
    return true;
}

std::string removeQrMarker(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = qrCodeMarker.size();
    while (i < text.size()) {
        if (text[i] == '[' && i + n <= text.size() &&
            text::asciiLower(text.substr(i, n)) == text::asciiLower(qrCodeMarker)) {
            i += n;
            continue;
        }
        out += text[i++];
    }
    return out;
}

static bool containsQrMarker(std::string_view text) {
    const std::string_view lowered = "[<_qr-code_>]";
    for (size_t at = text.find("[<_"); at != std::string_view::npos; at = text.find("[<_", at + 1))
        if (at + lowered.size() <= text.size() && text::asciiLower(text.substr(at, lowered.size())) == lowered)
            return true;
    return false;
}

std::string TextActionSeq::run(std::string_view text) const { return run(text, RunToken::application()); }

std::string TextActionSeq::run(std::string_view input, const RunToken& token) const {
    return runOver(input, nullptr, token);
}

std::string TextActionSeq::run(std::string&& input, const RunToken& token) const {
    return runOver(input, &input, token);
}

// The first action reads the caller's text where it lies (a mapped file, say): only the
// results are new strings. `owned`, when given, is the same text, handed back when no
// action runs.
std::string TextActionSeq::runOver(std::string_view input, std::string* owned, const RunToken& token,
                                   std::string_view pathPrefix) const {
    const RunToken::Value started = token.current();
    CancellationScope scope([&token, started] { return token.current() != started; }, &token);
    ActiveRunScope active(this, &token);
    std::vector<StepRecord>* trace = t_environment ? t_environment->trace() : nullptr;
    std::string current;
    bool transformed = false;
    int step = 0;
    // The record whose output is still `current`: the output moves in once the next step has
    // read it, so a trace costs one copy per run (the result's) instead of one per step.
    std::optional<size_t> unfilled;
    const auto fillRecord = [&] {
        if (unfilled) (*trace)[*std::exchange(unfilled, std::nullopt)].output = std::move(current);
    };
    for (const auto& action : actionsArray) {
        ++step;
        if (token.current() != started) {
            diagnostic("cancel 2");
            fillRecord();
            return std::string(cancellationMarker);
        }
        if (!action->enabled()) continue;
        std::string_view text = transformed ? std::string_view(current) : input;
        if (!makesImage(action->type) && containsQrMarker(text)) {
            std::string stripped = removeQrMarker(text);
            fillRecord();
            current = std::move(stripped);
            text = current;
        }
        if (!trace) {
            current = action->transform(text);
        } else {
            std::string path = std::string(pathPrefix) + std::to_string(step);
            const std::string outer = std::exchange(t_stepPath, path);
            const auto begun = std::chrono::steady_clock::now();
            std::string output = action->transform(text);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begun;
            t_stepPath = outer;
            const bool marker = markers::isMarker(output);
            fillRecord();
            current = std::move(output);
            // Nested steps were recorded during the transform: the index stays valid, a pointer might not.
            trace->push_back({.step = step,
                              .path = std::move(path),
                              .kind = action->type,
                              .title = std::string(trimmedTitle(action->type)),
                              .ms = took.count(),
                              .marker = marker});
            unfilled = trace->size() - 1;
        }
        transformed = true;
    }
    if (unfilled) (*trace)[*unfilled].output = current; // the result is still returned
    if (transformed) return current;
    return owned ? std::move(*owned) : std::string(input);
}

std::optional<std::string> TextActionSeq::runFile(const std::filesystem::path& file) const {
    auto text = readTextFile(file);
    if (!text || text->empty()) return std::nullopt;
    return run(std::move(*text), RunToken::application());
}

Dictionary TextActionSeq::toDictionary(bool includeVersion) const {
    Dictionary d = makeDictionary();
    d.set("Id", id);
    d.set("Name", name);
    d.set("Icon", icon);
    if (includeVersion) d.set("APPVersion", appVersionString());
    ValueList actions;
    actions.reserve(actionsArray.size());
    for (const auto& action : actionsArray) actions.push_back(action->toDictionary());
    d.set("Actions", Value(std::move(actions)));
    return d;
}

std::string TextActionSeq::jsonString() const { return json::write(toDictionary(false), {.sortKeys = true}); }

std::shared_ptr<TextActionSeq> TextActionSeq::fromDictionary(const Dictionary& dictionary) {
    const Value* nameValue = dictionary.get("Name");
    const Value* idValue = dictionary.get("Id");
    const Value* actionsValue = dictionary.get("Actions");
    if (!nameValue || !nameValue->isString() || !idValue || !idValue->isString() || !actionsValue ||
        !actionsValue->isList())
        return nullptr;
    auto seq = std::make_shared<TextActionSeq>(nameValue->asString());
    seq->id = idValue->asString();
    seq->actionsArray = actionsFromList(*actionsValue);
    if (const Value* iconValue = dictionary.get("Icon"); iconValue && iconValue->isString())
        seq->icon = iconValue->asString();
    return seq;
}

std::shared_ptr<TextActionSeq> TextActionSeq::fromJsonString(std::string_view text) {
    auto parsed = json::parse(text);
    if (!parsed || !parsed->isMap()) return nullptr;
    return fromDictionary(*parsed);
}

std::string appVersionString() { return std::string(LEXORRA_VERSION) + "(" + LEXORRA_BUILD_NUMBER + ")"; }

std::vector<TextActionSeqPtr> makeBuiltInSequences(bool hasApiKey) {
    std::vector<TextActionSeqPtr> list;
    for (auto type : allTextActionTypes()) {
        if ((callsNetwork(type) && !hasApiKey) || runsWorkflow(type)) continue;
        auto seq = std::make_shared<TextActionSeq>(std::string(title(type)));
        seq->id = std::string(builtInSequenceId(type));
        seq->actionsArray = {makeDefault(type)};
        seq->icon = std::string(icon(type));
        list.push_back(std::move(seq));
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return text::lower(a->name) < text::lower(b->name); });
    return list;
}

} // namespace lexorra
