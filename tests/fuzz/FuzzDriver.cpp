// Runs a fuzz target without libFuzzer (any compiler, e.g. under the
// sanitizers of g++): each file or folder named is replayed, then random
// inputs are tried until -runs=N inputs or -max_total_time=S seconds, from
// -seed=N. Built with clang and NORVEL_LIBFUZZER=ON, libFuzzer replaces it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

void replay(const std::filesystem::path &path, long &count)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    ++count;
}

} // namespace

int main(int argc, char **argv)
{
    long runs = 10000, seconds = 0;
    unsigned seed = 1;
    long replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strncmp(arg, "-runs=", 6) == 0)
            runs = std::atol(arg + 6);
        else if (std::strncmp(arg, "-max_total_time=", 16) == 0)
            seconds = std::atol(arg + 16);
        else if (std::strncmp(arg, "-seed=", 6) == 0)
            seed = static_cast<unsigned>(std::atol(arg + 6));
        else if (arg[0] == '-')
            continue; // a libFuzzer option this driver does not know
        else if (std::filesystem::is_directory(arg))
            for (const auto &entry : std::filesystem::recursive_directory_iterator(arg)) {
                if (entry.is_regular_file())
                    replay(entry.path(), replayed);
            }
        else
            replay(arg, replayed);
    }
    // Short inputs over a small alphabet reach the codes' states far more
    // often than uniform bytes would.
    std::mt19937 random(seed);
    const std::string alphabet("\xFF\xFE\xFD\xFC\xFB\xFA\xF0\x1B\x0C$\0LBFCDV0123456789x\n,", 28);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<std::uint8_t> input;
    long tried = 0;
    for (; seconds > 0 ? std::chrono::steady_clock::now() < end : tried < runs; ++tried) {
        input.resize(random() % (tried % 64 == 0 ? 4096 : 96));
        const bool uniform = random() % 4 == 0;
        for (auto &byte : input)
            byte = uniform ? static_cast<std::uint8_t>(random()) : static_cast<std::uint8_t>(alphabet[random() % alphabet.size()]);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%s: %ld inputs replayed, %ld random inputs from seed %u\n", argv[0], replayed, tried, seed);
    return 0;
}
