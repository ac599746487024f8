#pragma once

#include "core/TextActionSeq.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// One workflow as an undo step keeps it: its document, and the steps switched off (which
// the document has no room for).
struct WorkflowState {
    std::string json;
    std::vector<std::string> disabled;
    bool operator==(const WorkflowState&) const = default;
};

// The user's edits of the workflow list, as steps that can be taken back and done again.
// A step holds only the workflows it changed, before and after, so that taking it back
// leaves alone what other programs changed meanwhile:
//
//   WorkflowUndoStack undo;
//   undo.reset(list);                 // after loading
//   list[0]->name = "Tidy";
//   undo.record(list);                // "Rename Workflow"
//   undo.undo(list);                  // list[0] has its old name again
//
// Changes that come from other writers are no steps: adopt() makes them the new starting
// point, and forgets the steps that touched those workflows (taking one back would
// overwrite the other writer's work).
class WorkflowUndoStack {
public:
    struct Change {
        std::string id;
        std::optional<WorkflowState> before; // nullopt: the step added the workflow
        std::optional<WorkflowState> after;  // nullopt: the step removed it
        size_t beforeIndex = 0;
        size_t afterIndex = 0;
    };
    struct Step {
        std::string label;
        std::vector<Change> changes;
    };
    // What undo() or redo() did to the list, for saving and pushing it.
    struct Applied {
        std::vector<std::string> changed; // restored in place, or given back (under a fresh id)
        std::vector<std::string> removed;
        std::string focus; // the workflow to show: the first one the step left in the list
    };

    explicit WorkflowUndoStack(size_t limit = 100) : m_limit(limit) {}

    // The list as it is becomes the starting point; nothing to undo or redo.
    void reset(const std::vector<TextActionSeqPtr>& list);
    // Records how the list differs from the last state as one step, labelled `label` or,
    // when empty, after what changed. Clears what could be redone. False when nothing changed.
    bool record(const std::vector<TextActionSeqPtr>& list, std::string_view label = {});
    // Makes the newest `count` steps one, named `label` (a command that edits several times).
    void joinNewest(size_t count, std::string label);
    // How many steps record() has made so far.
    size_t recorded() const { return m_recorded; }
    // Takes in other writers' changes to these workflows (as the list now holds them).
    // True when steps were forgotten.
    bool adopt(const std::vector<TextActionSeqPtr>& list, const std::vector<std::string>& ids);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::string undoLabel() const { return canUndo() ? m_undo.back().label : std::string(); }
    std::string redoLabel() const { return canRedo() ? m_redo.back().label : std::string(); }

    // Puts the workflows of the newest step back as they were before it (after it, for
    // redo). A workflow that comes back gets a fresh id: the deleted one's tombstone travels
    // between machines and always wins; references to it follow the new id.
    std::optional<Applied> undo(std::vector<TextActionSeqPtr>& list);
    std::optional<Applied> redo(std::vector<TextActionSeqPtr>& list);

    // What a step would be called, from the states it changed.
    static std::string describe(const std::vector<Change>& changes);

private:
    using Snapshot = std::vector<std::pair<std::string, WorkflowState>>;
    static Snapshot capture(const std::vector<TextActionSeqPtr>& list);
    std::optional<Applied> apply(std::deque<Step>& from, std::deque<Step>& to, std::vector<TextActionSeqPtr>& list,
                                 bool backwards);
    void renameEverywhere(const std::string& from, const std::string& to, std::vector<TextActionSeqPtr>& list,
                          Applied& applied);

    size_t m_limit;
    Snapshot m_base;
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    size_t m_recorded = 0;
};

} // namespace lexorra
