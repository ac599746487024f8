#include "core/Diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace lexorra {

void diagnostic(std::string_view line) {
    static const bool quiet = [] {
        const char* q = std::getenv("LEXORRA_QUIET");
        return q && *q && *q != '0';
    }();
    if (quiet) return;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

} // namespace lexorra
