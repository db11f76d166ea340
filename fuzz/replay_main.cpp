// Runs a fuzz target over every file of its seed corpus (and over each file cut short), so the test
// command replays the corpus without a fuzzing engine.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        std::vector<std::filesystem::path> inputs;
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::directory_iterator(p))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else {
            inputs.push_back(p);
        }
        for (const auto& in : inputs) {
            std::ifstream f(in, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            for (size_t cut = 0; cut <= bytes.size(); cut += 1 + bytes.size() / 64)
                LLVMFuzzerTestOneInput(bytes.data(), cut);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++files;
        }
    }
    std::printf("replayed %d corpus files\n", files);
    return files > 0 ? 0 : 1;
}
