#include "cli/Command.h"

#include <unicode/locid.h>

#include <iostream>

int main(int argc, char** argv) {
    // Transformations that depend on a locale (spelled-out numbers, date formats, sort order)
    // give the same result wherever the command runs: the POSIX English locale, set in ICU
    // alone. The C library keeps its "C" locale; loading a named one would open a dozen
    // locale files at every start for nothing the engine reads.
    UErrorCode ignored = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US_POSIX"), ignored);
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    lexorra::cli::Io io{std::cin, std::cout, std::cerr};
    const int status = lexorra::cli::runCommandLine(args, io);
    std::cout.flush();
    return status;
}
