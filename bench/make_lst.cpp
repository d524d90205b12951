// Writes a made-up .lst file of N records, for timing the load against other tools.
//   make_lst N OUTPUT [SEED]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/BenchData.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s N OUTPUT [SEED]\n", argv[0]);
        return 2;
    }
    const long n = std::strtol(argv[1], nullptr, 10);
    if (n < 0) {
        std::fprintf(stderr, "N must not be negative\n");
        return 2;
    }
    const unsigned long long seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    try {
        bench::WriteFile(argv[2], bench::MakeLst(static_cast<std::size_t>(n), seed));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
