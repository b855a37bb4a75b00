// Writes a generated library to a file, for the scripts that time or measure
// the real program: bench_write_library ITEMS PATH.

#include "LibraryGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ITEMS PATH\n", argv[0]);
        return 2;
    }
    const std::string bytes = CLibraryGenerator::Generate(std::atoi(argv[1]));
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
