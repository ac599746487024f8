#pragma once

#include "core/ObjectStore.h"
#include "core/TextActionSeq.h"

#include <string>
#include <vector>

namespace lexorra {

// The passes between the workflow list and the object store, without the timers around
// them: the results controller decides when to run them (debounced push, paused merge).

// Writes every workflow of the list to the store: a new record for an unknown id, the new
// JSON text for a known one whose text differs. Saves once, only when something changed.
// Returns whether something changed; error is set when the save failed.
bool pushWorkflowsToStore(ObjectStore& store, const std::vector<TextActionSeqPtr>& workflows,
                          std::string* error = nullptr);

struct MergeResult {
    std::vector<std::string> added;   // live records unknown to the list, appended
    std::vector<std::string> removed; // workflows whose record is hidden
    std::vector<std::string> updated; // local workflows that took a record's name and actions
    bool changed() const { return !added.empty() || !removed.empty() || !updated.empty(); }
};

// Merges records, in date order, into the list: hidden records remove their workflow and
// are never added; records whose JSON text does not parse are skipped; a known workflow
// keeps its object, id and icon and takes the record's name and actions.
MergeResult mergeRecordsIntoList(const std::vector<WorkflowRecord>& records, std::vector<TextActionSeqPtr>& workflows);

// The store side of deleting a workflow: marks its record hidden and saves. False when the
// store has no such record or the save failed.
bool hideWorkflowRecord(ObjectStore& store, const std::string& id, std::string* error = nullptr);

} // namespace lexorra
