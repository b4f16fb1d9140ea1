// Runs a fuzz target's entry point over the inputs of its seed corpus and
// every one-byte input, so that the target is built and exercised by the
// unit tests also where no fuzzing compiler is at hand. A failed property
// traps, which fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);

namespace {

void feed(const std::string& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        feed(std::string(std::istreambuf_iterator<char>(file), {}));
        ++seeds;
    }
    feed(std::string());
    for (int b = 0; b < 256; ++b) feed(std::string(1, static_cast<char>(b)));
    std::printf("%zu seeds and 257 short inputs passed\n", seeds);
    // A corpus that went missing would leave only the short inputs.
    return seeds > 0 ? 0 : 1;
}
