// Runs a fuzz target over every file of the folders (or files) named on the command line,
// so the seed corpus and every input that once crashed are replayed in the normal test run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FuzzTarget.h"

static int runFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    return 1;
}

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    int count = 0;
    // An empty input is always worth one run.
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (int i = 1; i < argc; ++i) {
        fs::path root(argv[i]);
        std::error_code ec;
        if (fs::is_regular_file(root, ec)) {
            count += runFile(root);
            continue;
        }
        if (!fs::is_directory(root, ec))
            continue;
        std::vector<fs::path> files;
        for (const auto &e : fs::recursive_directory_iterator(root, ec))
            if (e.is_regular_file())
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const auto &f : files)
            count += runFile(f);
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
