#pragma once

#include "core/TextActionSeq.h"
#include "core/Value.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lexorra {

// The alert shown when an exchange file cannot be read or parsed.
inline constexpr std::string_view importErrorTitle = "Error";
inline constexpr std::string_view importErrorText = "Could not load file.";

// The workflow list as the stores keep it: dictionaries with the version entry, in order.
Value workflowListValue(const std::vector<TextActionSeqPtr>& workflows);
// Reads such a list; entries that are not workflow dictionaries are dropped. Every workflow
// read from a store is the user's own, so allowToEdit is set.
std::vector<TextActionSeqPtr> workflowsFromListValue(const Value& list);

// Exchange files: {"workflows": [workflow dictionary, ...]}, pretty-printed.
//
//   auto text = exchangeJson(selectForExport(list, ""));     // all of them
//   auto one = exchangeJson(selectForExport(list, seq->id)); // just one
std::vector<TextActionSeqPtr> selectForExport(const std::vector<TextActionSeqPtr>& workflows, std::string_view idOrAll);
std::string exchangeJson(const std::vector<TextActionSeqPtr>& workflows);
bool writeExchangeFile(const std::filesystem::path& file, const std::vector<TextActionSeqPtr>& workflows,
                       std::string* error = nullptr);

// Whether imported workflows get fresh ids (a user's file: an import never collides with
// what is there) or keep the stored ones (the default-workflows resource).
enum class ImportIds { fresh, keep };

struct ImportResult {
    // False when the file could not be read or is not JSON: show the import error alert.
    bool loaded = false;
    // What the file held; empty when the top level or "workflows" has another shape.
    std::vector<TextActionSeqPtr> workflows;
};

ImportResult readExchangeText(std::string_view text, ImportIds ids);
ImportResult readExchangeFile(const std::filesystem::path& file, ImportIds ids);

// The default-workflows resource: $LEXORRA_RESOURCE_DIR/workflows.json when that variable
// is set, else the resource folder the program was built with.
std::filesystem::path defaultWorkflowsFile();
std::vector<TextActionSeqPtr> loadDefaultWorkflowList();

// Looks a workflow up by id, else by exact name, the first of the list winning; an empty id
// or name matches nothing. nullptr when neither matches.
TextActionSeqPtr findWorkflow(const std::vector<TextActionSeqPtr>& workflows, std::string_view id,
                              std::string_view name);
inline TextActionSeqPtr findWorkflow(const std::vector<TextActionSeqPtr>& workflows, std::string_view nameOrId) {
    return findWorkflow(workflows, nameOrId, nameOrId);
}

} // namespace lexorra
