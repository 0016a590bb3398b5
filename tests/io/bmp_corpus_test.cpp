// Replays the committed corpus (tests/io/bmp_corpus, written by make_bmp_corpus.py) through the
// loader from real files: ok_*_<W>x<H>.bmp must load at that size with the file's rows, and
// bad_*.bmp must be refused. Under the sanitizer build any read of garbage stops the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "io/bitmap_loader.h"
#include "io/file_stream.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(TASPO_SOURCE_DIR) / "tests/io/bmp_corpus")) {
        if (entry.path().extension() == ".bmp") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Checks one corpus file's result against its name; counts it as loaded or refused.
void CheckResult(const fs::path& path, const Surface* surface, int32_t result, int* loaded,
                 int* refused) {
    static const std::regex okName(R"(ok_(?:.*_)?(\d+)x(\d+)\.bmp)");
    std::string name = path.filename().string();
    std::smatch size;
    if (!std::regex_match(name, size, okName)) {
        ASSERT_EQ(name.rfind("bad_", 0), 0u) << "corpus names start with ok_ or bad_";
        ++*refused;
        EXPECT_NE(result, BitmapLoaded);
        EXPECT_EQ(surface->pixels, nullptr);
        return;
    }
    ++*loaded;
    ASSERT_EQ(result, BitmapLoaded) << BitmapLoadErrorText(result);
    EXPECT_EQ(surface->width, std::stoi(size[1]));
    EXPECT_EQ(surface->height, std::stoi(size[2]));
    std::vector<uint8_t> file = FileBytes(path);
    uint32_t offset = file[10] | file[11] << 8 | file[12] << 16 | uint32_t{file[13]} << 24;
    size_t bytes = size_t(surface->stride) * surface->height;
    ASSERT_GE(file.size(), offset + bytes);
    EXPECT_TRUE(std::equal(surface->pixels, surface->pixels + bytes, file.begin() + offset));
}

TEST(BmpCorpusTest, EveryFileLoadsAsNamedOrIsRefused) {
    int loaded = 0;
    int refused = 0;
    for (const fs::path& path : CorpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
        InitSurface(surface);
        int32_t result;
        {
            FileStream stream(path.string().c_str(), "rb");
            EXPECT_TRUE(stream.IsOpen());
            result = LoadBitmapFile(&stream, surface);
        }
        CheckResult(path, surface, result, &loaded, &refused);
        DestroySurface(surface);
    }
    // A missing or emptied corpus must not pass by checking nothing.
    EXPECT_GE(loaded, 5);
    EXPECT_GE(refused, 20);
}

}  // namespace
