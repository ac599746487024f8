#include "core/WorkflowUndoStack.h"

#include "core/Uuid.h"

#include <algorithm>
#include <map>

namespace lexorra {
namespace {

WorkflowState stateOf(const TextActionSeq& seq) {
    WorkflowState state{.json = seq.jsonString(), .disabled = {}};
    for (const auto& action : seq.actionsArray)
        if (!action->enabled()) state.disabled.push_back(action->id);
    return state;
}

// Gives `seq` the contents the state describes; false when the state does not read.
bool restore(TextActionSeq& seq, const WorkflowState& state) {
    auto parsed = TextActionSeq::fromJsonString(state.json);
    if (!parsed) return false;
    seq.name = parsed->name;
    seq.icon = parsed->icon;
    seq.actionsArray = std::move(parsed->actionsArray);
    for (const auto& action : seq.actionsArray)
        if (std::find(state.disabled.begin(), state.disabled.end(), action->id) != state.disabled.end())
            action->setEnabled(false);
    return true;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

void rename(WorkflowState& state, const std::string& from, const std::string& to) {
    replaceAll(state.json, from, to);
}

std::vector<std::string> actionIds(const TextActionSeq& seq) {
    std::vector<std::string> ids;
    for (const auto& action : seq.actionsArray)
        ids.push_back(action->id);
    return ids;
}

} // namespace

WorkflowUndoStack::Snapshot WorkflowUndoStack::capture(const std::vector<TextActionSeqPtr>& list) {
    Snapshot snapshot;
    snapshot.reserve(list.size());
    for (const auto& seq : list)
        snapshot.emplace_back(seq->id, stateOf(*seq));
    return snapshot;
}

void WorkflowUndoStack::reset(const std::vector<TextActionSeqPtr>& list) {
    m_base = capture(list);
    m_undo.clear();
    m_redo.clear();
}

bool WorkflowUndoStack::record(const std::vector<TextActionSeqPtr>& list, std::string_view label) {
    Snapshot now = capture(list);
    std::map<std::string, size_t> baseAt;
    std::map<std::string, size_t> nowAt;
    for (size_t i = 0; i < m_base.size(); ++i)
        baseAt.emplace(m_base[i].first, i);
    for (size_t i = 0; i < now.size(); ++i)
        nowAt.emplace(now[i].first, i);

    std::vector<Change> changes;
    for (size_t i = 0; i < m_base.size(); ++i)
        if (!nowAt.contains(m_base[i].first))
            changes.push_back({.id = m_base[i].first, .before = m_base[i].second, .after = {}, .beforeIndex = i});
    for (size_t i = 0; i < now.size(); ++i) {
        const auto old = baseAt.find(now[i].first);
        if (old == baseAt.end())
            changes.push_back({.id = now[i].first, .before = {}, .after = now[i].second, .afterIndex = i});
        else if (!(m_base[old->second].second == now[i].second))
            changes.push_back({.id = now[i].first,
                               .before = m_base[old->second].second,
                               .after = now[i].second,
                               .beforeIndex = old->second,
                               .afterIndex = i});
    }
    if (changes.empty()) return false;
    std::string name = label.empty() ? describe(changes) : std::string(label);
    m_undo.push_back({.label = std::move(name), .changes = std::move(changes)});
    if (m_undo.size() > m_limit) m_undo.pop_front();
    m_redo.clear();
    m_base = std::move(now);
    ++m_recorded;
    return true;
}

void WorkflowUndoStack::joinNewest(size_t count, std::string label) {
    count = std::min(count, m_undo.size());
    if (count < 2) return;
    Step joined{.label = std::move(label), .changes = {}};
    for (auto step = m_undo.end() - static_cast<std::ptrdiff_t>(count); step != m_undo.end(); ++step)
        for (auto& change : step->changes) {
            auto same = std::find_if(joined.changes.begin(), joined.changes.end(),
                                     [&](const Change& c) { return c.id == change.id; });
            if (same == joined.changes.end()) {
                joined.changes.push_back(std::move(change));
            } else {
                same->after = std::move(change.after);
                same->afterIndex = change.afterIndex;
            }
        }
    // A workflow the steps added and removed again is no change at all.
    std::erase_if(joined.changes, [](const Change& c) { return !c.before && !c.after; });
    m_undo.resize(m_undo.size() - count);
    m_undo.push_back(std::move(joined));
}

bool WorkflowUndoStack::adopt(const std::vector<TextActionSeqPtr>& list, const std::vector<std::string>& ids) {
    for (const auto& id : ids) {
        auto seq = std::find_if(list.begin(), list.end(), [&](const auto& s) { return s->id == id; });
        auto base = std::find_if(m_base.begin(), m_base.end(), [&](const auto& entry) { return entry.first == id; });
        if (seq == list.end()) {
            if (base != m_base.end()) m_base.erase(base);
        } else if (base == m_base.end()) {
            m_base.emplace_back(id, stateOf(**seq));
        } else {
            base->second = stateOf(**seq);
        }
    }
    auto touches = [&](const Step& step) {
        return std::any_of(step.changes.begin(), step.changes.end(),
                           [&](const Change& c) { return std::find(ids.begin(), ids.end(), c.id) != ids.end(); });
    };
    const size_t before = m_undo.size() + m_redo.size();
    std::erase_if(m_undo, touches);
    std::erase_if(m_redo, touches);
    return m_undo.size() + m_redo.size() != before;
}

std::optional<WorkflowUndoStack::Applied> WorkflowUndoStack::undo(std::vector<TextActionSeqPtr>& list) {
    return apply(m_undo, m_redo, list, true);
}

std::optional<WorkflowUndoStack::Applied> WorkflowUndoStack::redo(std::vector<TextActionSeqPtr>& list) {
    return apply(m_redo, m_undo, list, false);
}

std::optional<WorkflowUndoStack::Applied> WorkflowUndoStack::apply(std::deque<Step>& from, std::deque<Step>& to,
                                                                   std::vector<TextActionSeqPtr>& list,
                                                                   bool backwards) {
    if (from.empty()) return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    Applied applied;
    auto find = [&](const std::string& id) {
        return std::find_if(list.begin(), list.end(), [&](const auto& s) { return s->id == id; });
    };
    auto target = [&](const Change& c) -> const std::optional<WorkflowState>& {
        return backwards ? c.before : c.after;
    };

    // Removals first and returns last, in list order, so that every index is the one the
    // workflow had in the state being restored.
    std::vector<const Change*> returning;
    for (const auto& change : step.changes) {
        auto seq = find(change.id);
        if (!target(change)) {
            if (seq != list.end()) {
                list.erase(seq);
                applied.removed.push_back(change.id);
            }
        } else if (seq != list.end()) {
            if (restore(**seq, *target(change))) applied.changed.push_back(change.id);
        } else {
            returning.push_back(&change);
        }
    }
    auto indexOf = [&](const Change* c) { return backwards ? c->beforeIndex : c->afterIndex; };
    std::sort(returning.begin(), returning.end(), [&](auto* a, auto* b) { return indexOf(a) < indexOf(b); });
    std::vector<std::pair<std::string, std::string>> renamed;
    for (const Change* change : returning) {
        auto seq = std::make_shared<TextActionSeq>("");
        if (!restore(*seq, *target(*change))) continue;
        seq->id = change->id;
        seq->allowToEdit = true;
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(indexOf(change), list.size())), seq);
        renamed.emplace_back(change->id, makeUuid());
    }
    to.push_back(std::move(step));
    for (const auto& [old, fresh] : renamed)
        renameEverywhere(old, fresh, list, applied);

    for (const auto& change : to.back().changes)
        if (target(change) && find(change.id) != list.end()) {
            applied.focus = change.id;
            break;
        }
    m_base = capture(list);
    return applied;
}

void WorkflowUndoStack::renameEverywhere(const std::string& from, const std::string& to,
                                         std::vector<TextActionSeqPtr>& list, Applied& applied) {
    for (auto& seq : list) {
        if (seq->id == from) seq->id = to;
        WorkflowState state = stateOf(*seq);
        if (state.json.find(from) == std::string::npos) continue;
        rename(state, from, to);
        restore(*seq, state);
        if (std::find(applied.changed.begin(), applied.changed.end(), seq->id) == applied.changed.end())
            applied.changed.push_back(seq->id);
    }
    for (auto* steps : {&m_undo, &m_redo})
        for (auto& step : *steps)
            for (auto& change : step.changes) {
                if (change.id == from) change.id = to;
                if (change.before) rename(*change.before, from, to);
                if (change.after) rename(*change.after, from, to);
            }
}

std::string WorkflowUndoStack::describe(const std::vector<Change>& changes) {
    const auto count = [&](auto predicate) { return std::count_if(changes.begin(), changes.end(), predicate); };
    const auto n = static_cast<long>(changes.size());
    if (count([](const Change& c) { return !c.before; }) == n) return n == 1 ? "Add Workflow" : "Add Workflows";
    if (count([](const Change& c) { return !c.after; }) == n) return n == 1 ? "Delete Workflow" : "Delete Workflows";
    if (n != 1) return "Edit Workflows";

    const Change& change = changes.front();
    const auto before = TextActionSeq::fromJsonString(change.before->json);
    const auto after = TextActionSeq::fromJsonString(change.after->json);
    if (!before || !after) return "Edit Workflow";
    if (before->name != after->name) return "Rename Workflow";
    if (before->icon != after->icon) return "Change Icon";
    const auto was = actionIds(*before);
    const auto is = actionIds(*after);
    if (is.size() > was.size()) return "Add Action";
    if (is.size() < was.size()) return "Remove Action";
    if (was != is) return "Move Action";
    if (change.before->disabled != change.after->disabled)
        return change.after->disabled.size() > change.before->disabled.size() ? "Disable Action" : "Enable Action";
    return "Change Option";
}

} // namespace lexorra
