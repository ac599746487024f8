// Writes the benchmark texts to files so that standard tools can run on the same bytes:
//   bench-data prose|accented BYTES FILE
#include "BenchData.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench-data prose|accented BYTES FILE\n");
        return 2;
    }
    const std::string kind = argv[1];
    const size_t bytes = std::strtoull(argv[2], nullptr, 10);
    const std::string text =
        kind == "accented" ? lexorra::bench::accentedText(bytes) : lexorra::bench::proseText(bytes);
    std::ofstream out(argv[3], std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return out ? 0 : 1;
}
