// Replays the fuzzer's seeds (fuzz/corpus/config) and every input it ever stopped on
// (tests/config/config_corpus) through the reader, from the files themselves and from memory,
// with the checks the fuzz target makes: one bounded line per shown report, as many as the
// problem count allows, and no block left in use but the registry's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/registry_census.h"
#include "config_test_arena.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const char* folder : {"fuzz/corpus/config", "tests/config/config_corpus"}) {
        for (const fs::directory_entry& entry :
             fs::directory_iterator(fs::path(TASPO_SOURCE_DIR) / folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ConfigCorpusTest : public ConfigTest {
protected:
    void Restart() {
        RestartWithArena(EngineArenaSize);
        messages.clear();
    }

    void CheckReports(const std::string& source, uint32_t problems) {
        size_t shown = std::min<uint32_t>(problems, ConfigMaxMessages);
        EXPECT_EQ(messages.size(), problems > ConfigMaxMessages ? shown + 1 : shown);
        for (const std::string& message : messages) {
            EXPECT_EQ(message.rfind(source + ":", 0), 0u) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
            EXPECT_LE(message.size(), source.size() + 400) << message;
        }
    }

    // The record, its name's buffer, one block per context and one per value.
    void CheckOnlyTheRegistryRemains() {
        const VariableRegistry* registry = GetRegistry();
        ASSERT_NE(registry, nullptr);
        uint32_t contexts = CountNodes(registry->contextRoot);
        uint32_t values = CountValues(registry->contextRoot);
        EXPECT_EQ(contexts, registry->contextCount);
        EXPECT_LE(values, ConfigMaxSettings);
        EXPECT_EQ(BlocksInUse(ActiveArena()), 2 + contexts + values);
    }
};

TEST_F(ConfigCorpusTest, EveryFileReadsWithinItsBoundsAndKeepsNothingButValues) {
    std::vector<fs::path> files = CorpusFiles();
    EXPECT_GE(files.size(), 12u) << "a missing corpus must not pass by checking nothing";
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::string bytes = FileBytes(path);
        ASSERT_LE(bytes.size(), ConfigFileMaxBytes) << "a seed the file reader would cut";

        Restart();
        uint32_t problems = LoadConfigText("taspo.cfg", bytes.data(),
                                           static_cast<uint32_t>(bytes.size()), &Collect, this);
        CheckReports("taspo.cfg", problems);
        CheckOnlyTheRegistryRemains();

        // The same bytes from the file: the same reports under the file's name.
        std::vector<std::string> fromMemory = messages;
        for (std::string& message : fromMemory) {
            message.replace(0, std::string("taspo.cfg").size(), path.string());
        }
        Restart();
        ConfigFileResult result = LoadConfigFile(path.string().c_str(), &Collect, this);
        EXPECT_FALSE(result.failed) << result.failure;
        EXPECT_EQ(result.problems, problems);
        EXPECT_EQ(messages, fromMemory);
        CheckOnlyTheRegistryRemains();
    }
}

}  // namespace
