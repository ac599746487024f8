#pragma once

#include "cli/Command.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace lexorra::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command line in this process through the commands' Io seam, with the environment
// (XDG folders and all) of the test.
inline CliResult runCli(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    cli::Io io{in, out, err};
    const int status = cli::runCommandLine(args, io);
    return {status, out.str(), err.str()};
}

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the built program, for what only a real process shows: its standard input as a file,
// or every byte it writes on its own descriptors. `environment` is "NAME=value ..." or empty;
// the captured streams go in `folder`, which the caller owns.
inline CliResult runCliProcess(const std::vector<std::string>& args, const std::string& input,
                               const std::filesystem::path& folder, const std::string& environment = "") {
    std::filesystem::create_directories(folder);
    const auto in = folder / "stdin", out = folder / "stdout", err = folder / "stderr";
    std::ofstream(in, std::ios::binary) << input;
    std::string command = environment + " " + shellQuote(LEXORRA_CLI_PATH);
    for (const auto& a : args)
        command += " " + shellQuote(a);
    command += " <" + shellQuote(in.string()) + " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
    const int raw = std::system(command.c_str());
    const auto read = [](const std::filesystem::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(out), read(err)};
}

} // namespace lexorra::testing
