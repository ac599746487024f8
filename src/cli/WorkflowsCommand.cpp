#include "cli/WorkflowsCommand.h"

#include "core/Json.h"
#include "core/WorkflowLibrary.h"

#include <CLI/CLI.hpp>

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
    WorkflowLibrary library;
    if (m_import->parsed()) return importFrom(io, library);
    if (m_delete->parsed()) return remove(io, library);
    std::string problem;
    auto workflows = library.current(&problem);
    if (!workflows) return fail(io.err, exitIo, problem);
    if (m_list->parsed()) return list(io, *workflows);
    if (m_export->parsed()) return exportTo(io, *workflows);
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

int WorkflowsCommand::importFrom(Io& io, WorkflowLibrary& library) {
    std::vector<TextActionSeqPtr> imported;
    const auto edit = library.importFile(m_file, &imported);
    if (!edit.saved) return fail(io.err, exitIo, edit.problem);
    for (const auto& seq : imported)
        io.out << seq->id << "\t" << seq->name << "\n";
    return exitOk;
}

int WorkflowsCommand::remove(Io& io, WorkflowLibrary& library) {
    bool found = false;
    const auto edit = library.remove(m_id, &found);
    if (!edit.saved) return fail(io.err, exitIo, edit.problem);
    if (!found) return fail(io.err, exitUnknownWorkflow, "no workflow with the id \"" + m_id + "\"");
    return exitOk;
}

} // namespace lexorra::cli
