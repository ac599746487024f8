#include "cli/Command.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    lexorra::cli::Io io{std::cin, std::cout, std::cerr};
    const int status = lexorra::cli::runCommandLine(args, io);
    std::cout.flush();
    return status;
}
