#include "cli/WorkflowsCommand.h"

#include "core/Json.h"
#include "core/ObjectStore.h"
#include "core/SettingsStore.h"
#include "core/SyncFolder.h"
#include "core/WorkflowDocuments.h"
#include "core/WorkflowMirror.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

namespace lexorra::cli {

void WorkflowsCommand::declare(CLI::App& sub) {
    sub.require_subcommand(1);
    m_list = sub.add_subcommand("list", "List the stored workflows");
    auto* json = m_list->add_flag("--json", m_json, "Print a JSON array of workflow dictionaries");
    m_list->add_flag("--names", m_names, "Print the names alone, one a line (for shell completion)")->excludes(json);
    m_export = sub.add_subcommand("export", "Write workflows to an exchange file");
    m_export->add_option("--id", m_id, "Export only the workflow with this id");
    m_export->add_option("FILE", m_file, "The exchange file to write")->required();
    m_import = sub.add_subcommand("import", "Add the workflows of an exchange file (with new ids)");
    m_import->add_option("FILE", m_file, "The exchange file to read")->required();
    m_delete = sub.add_subcommand("delete", "Delete a stored workflow");
    m_delete->add_option("ID", m_id, "Id of the workflow")->required();
}

int WorkflowsCommand::execute(Io& io) {
    Settings settings;
    auto load = loadWorkflowsFromStores(settings);
    if (load.storeUnreadable) return fail(io.err, exitIo, load.problem);
    if (m_list->parsed()) return list(io, load.workflows);
    if (m_export->parsed()) return exportTo(io, load.workflows);
    if (m_import->parsed()) return importFrom(io, settings);
    if (m_delete->parsed()) return remove(io, settings);
    return fail(io.err, exitUsage, "workflows needs one of list, export, import, delete");
}

int WorkflowsCommand::list(Io& io, const std::vector<TextActionSeqPtr>& workflows) {
    if (m_json) {
        ValueList dictionaries;
        for (const auto& seq : workflows)
            dictionaries.push_back(seq->toDictionary(false));
        io.out << json::write(Value(std::move(dictionaries)), {.pretty = true}) << "\n";
        return exitOk;
    }
    if (m_names) {
        for (const auto& seq : workflows)
            io.out << seq->name << "\n";
        return exitOk;
    }
    for (const auto& seq : workflows)
        io.out << seq->id << "\t" << seq->name << "\t" << seq->actionsArray.size()
               << (seq->actionsArray.size() == 1 ? " action" : " actions") << "\n";
    return exitOk;
}

int WorkflowsCommand::exportTo(Io& io, const std::vector<TextActionSeqPtr>& workflows) {
    auto selected = selectForExport(workflows, m_id);
    if (!m_id.empty() && selected.empty())
        return fail(io.err, exitUnknownWorkflow, "no workflow with the id \"" + m_id + "\"");
    std::string error;
    if (!writeExchangeFile(m_file, selected, &error)) return fail(io.err, exitIo, error);
    return exitOk;
}

int WorkflowsCommand::importFrom(Io& io, Settings& settings) {
    auto imported = readExchangeFile(m_file, ImportIds::fresh);
    if (!imported.loaded)
        return fail(io.err, exitIo,
                    std::string(importErrorTitle) + ": " + std::string(importErrorText) + " (\"" + m_file + "\")");
    std::string problem;
    const bool saved = updateWorkflowsInGroupStore(
        settings,
        [&](auto& workflows) {
            workflows.insert(workflows.end(), imported.workflows.begin(), imported.workflows.end());
        },
        &problem);
    if (!saved) return fail(io.err, exitIo, problem);
    for (const auto& seq : imported.workflows)
        io.out << seq->id << "\t" << seq->name << "\n";
    mirrorEdit(io, settings, "");
    return exitOk;
}

int WorkflowsCommand::remove(Io& io, Settings& settings) {
    bool found = false;
    std::string problem;
    const bool saved = updateWorkflowsInGroupStore(
        settings,
        [&](auto& workflows) { found = std::erase_if(workflows, [&](const auto& s) { return s->id == m_id; }) > 0; },
        &problem);
    if (!saved) return fail(io.err, exitIo, problem);
    if (!found) return fail(io.err, exitUnknownWorkflow, "no workflow with the id \"" + m_id + "\"");
    mirrorEdit(io, settings, m_id);
    return exitOk;
}

void WorkflowsCommand::mirrorEdit(Io& io, Settings& settings, const std::string& deletedId) {
    settings.reload();
    if (!settings.boolean("iCloudSyncEnabled")) return;
    std::string error;
    auto store = ObjectStore::open(ObjectStore::defaultPath(), localMachineId(), &error);
    if (!store) {
        io.err << "lexorra-cli: warning: " << error << "\n";
        return;
    }
    SyncFolder sync(*store, settings.syncFolder());
    sync.scanNow();
    if (!deletedId.empty()) hideWorkflowRecord(*store, deletedId, &error);
    pushWorkflowsToStore(*store, workflowsFromListValue(settings.value("SavedWorkFlows").value_or(Value())), &error);
}

} // namespace lexorra::cli
