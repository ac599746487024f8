#pragma once

#include "core/ActionFactory.h"
#include "core/Json.h"
#include "core/SyncFolder.h"
#include "core/TextActionSeq.h"
#include "core/Value.h"
#include "support/TemporaryXdgHome.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lexorra::testing {

// An action of this kind with one option set and the others at their defaults.
inline TextActionPtr actionWith(TextActionType kind, const std::string& key, const Value& value) {
    auto action = makeDefault(kind);
    action->setOption(key, value);
    return action;
}

// A user's workflow with one Replace Text action: the smallest workflow whose result
// shows which version of it ran.
inline TextActionSeqPtr replaceWorkflow(const std::string& name, const std::string& find, const std::string& with,
                                        bool isRegEx = false) {
    auto seq = std::make_shared<TextActionSeq>(name);
    auto action = makeDefault(TextActionType::replaceString);
    action->setOption("ReplaceString", Value(find));
    action->setOption("WithString", Value(with));
    action->setOption("isRegEx", Value(isRegEx));
    seq->actionsArray.push_back(action);
    seq->allowToEdit = true;
    return seq;
}

// The ids of a list, for comparing lists whatever their order.
inline std::set<std::string> ids(const std::vector<TextActionSeqPtr>& list) {
    std::set<std::string> out;
    for (const auto& seq : list)
        out.insert(seq->id);
    return out;
}

// The names of a list, in its order.
inline std::vector<std::string> names(const std::vector<TextActionSeqPtr>& list) {
    std::vector<std::string> out;
    for (const auto& seq : list)
        out.push_back(seq->name);
    return out;
}

// The sync folder record a file holds, if it holds one.
inline std::optional<WorkflowRecord> syncRecordIn(const std::filesystem::path& file) {
    const auto parsed = json::parse(readFile(file));
    return parsed ? SyncFolder::recordFromValue(*parsed) : std::nullopt;
}

} // namespace lexorra::testing
