// Replays every stored fuzz input, seeds and inputs that once broke something,
// through the same checks that the fuzz targets make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/fuzz/FuzzChecks.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles(const char* kind) {
    // ctest runs the test in its build folder, where the corpus is copied.
    std::vector<fs::path> files;
    const fs::path dir = fs::path("corpus") / kind;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path());
    return files;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Replay(const char* kind, std::string (*check)(const uint8_t*, size_t)) {
    const auto files = CorpusFiles(kind);
    ASSERT_FALSE(files.empty()) << "no stored inputs under corpus/" << kind << " in " << fs::current_path();
    for (const fs::path& file : files) {
        const std::vector<uint8_t> bytes = ReadAll(file);
        EXPECT_EQ(check(bytes.data(), bytes.size()), "") << file.filename().string();
    }
}

TEST(FuzzReplay, SettingsImagesLoadSaveAndRoundTrip) {
    Replay("settings", brelkin::fuzz::CheckSettingsImage);
}

TEST(FuzzReplay, KeyChordNamesHoldTheirInvariants) {
    Replay("keychord", brelkin::fuzz::CheckKeyChordNames);
}

// Inputs cut short anywhere still make complete images (zeros past the end):
// every prefix of every stored settings input must pass as well.
TEST(FuzzReplay, TruncatedSettingsImages) {
    for (const fs::path& file : CorpusFiles("settings")) {
        const std::vector<uint8_t> bytes = ReadAll(file);
        for (size_t n = 0; n <= bytes.size(); ++n)
            ASSERT_EQ(brelkin::fuzz::CheckSettingsImage(bytes.data(), n), "")
                << file.filename().string() << " cut to " << n << " bytes";
    }
}

}  // namespace
