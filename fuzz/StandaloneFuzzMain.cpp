// Runs fuzz inputs through LLVMFuzzerTestOneInput without libFuzzer, so the
// fuzz target builds with any compiler and its corpus runs as a plain test.
//
// usage: <program> <file or folder>...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
    return LLVMFuzzerTestOneInput(bytes.data(), bytes.size()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(argument, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argument, error))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(argument);
        }
    }
    // An empty run would pass for a mistyped corpus path.
    if (files.empty()) {
        std::fprintf(stderr, "no input files\n");
        return 1;
    }
    std::sort(files.begin(), files.end());
    int failures = 0;
    for (const auto& file : files)
        failures += RunFile(file) ? 0 : 1;
    std::printf("%zu inputs, %d failed\n", files.size(), failures);
    return failures == 0 ? 0 : 1;
}
