#include "cli/ActionsCommand.h"
#include "cli/Command.h"
#include "cli/IntentCommand.h"
#include "cli/RunCommand.h"
#include "cli/WorkflowsCommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <ostream>

namespace lexorra::cli {

int fail(std::ostream& err, int status, const std::string& message) {
    err << "lexorra-cli: error: " << message << "\n";
    return status;
}

int runCommandLine(const std::vector<std::string>& args, Io& io) {
    CLI::App app{"Lexorra: run text actions and workflows from the command line", "lexorra-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "lexorra-cli " LEXORRA_VERSION, "Print the version and exit");

    struct Entry {
        std::string name;
        std::string description;
        std::unique_ptr<Command> command;
        CLI::App* sub = nullptr;
    };
    std::vector<Entry> entries;
    entries.push_back({"actions", "List the action kinds", std::make_unique<ActionsCommand>()});
    entries.push_back({"run", "Run an action or a workflow over a text", std::make_unique<RunCommand>()});
    entries.push_back(
        {"workflows", "List, export, import or delete stored workflows", std::make_unique<WorkflowsCommand>()});
    entries.push_back({"intent", "Answer an automation intent", std::make_unique<IntentCommand>()});
    for (auto& e : entries) {
        e.sub = app.add_subcommand(e.name, e.description);
        e.command->declare(*e.sub);
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        io.out << app.help();
        return exitOk;
    } catch (const CLI::CallForVersion& e) {
        io.out << e.what() << "\n";
        return exitOk;
    } catch (const CLI::CallForAllHelp& e) {
        io.out << app.help("", CLI::AppFormatMode::All);
        return exitOk;
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            io.out << app.help();
            return exitOk;
        }
        // A subcommand's --help is reported as its own exception type.
        std::string message = e.what();
        return fail(io.err, exitUsage, message.empty() ? "invalid command line" : message);
    }
    for (auto& e : entries)
        if (e.sub->parsed()) return e.command->execute(io);
    return fail(io.err, exitUsage, "no command given");
}

} // namespace lexorra::cli
