#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace lexorra::cli {

// Exit statuses of the command line.
enum ExitStatus : int {
    exitOk = 0,
    exitFailure = 1,
    exitUsage = 2,
    exitUnknownWorkflow = 3,
    exitIo = 4,
};

// Where a command reads and writes; tests inject string streams.
struct Io {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// One command of lexorra-cli: it declares its options on its subcommand and runs.
class Command {
public:
    virtual ~Command() = default;
    virtual void declare(CLI::App& subcommand) = 0;
    virtual int execute(Io& io) = 0;
};

// Prints "lexorra-cli: error: <message>" on err and returns status.
int fail(std::ostream& err, int status, const std::string& message);

// Runs the command line; argv without the program name.
int runCommandLine(const std::vector<std::string>& args, Io& io);

} // namespace lexorra::cli
