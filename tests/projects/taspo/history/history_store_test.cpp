// The kept games on disk: oldest first, at most a thousand, a bad record named and passed over,
// and a game that cannot be written leaving nothing behind and the others as they were.
#include "projects/taspo/history/history_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class HistoryStoreTest : public ::testing::Test {
protected:
    HistoryStoreTest() {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~HistoryStoreTest() override { fs::remove_all(root); }

    static GameRecord Game(int64_t playedAt, double reactionMs) {
        GameRecord record;
        record.playedAt = playedAt;
        record.version = "1.0.0";
        record.targets = {{1.0, true, reactionMs}};
        return record;
    }
    size_t Files() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
    }

    const fs::path root =
        fs::temp_directory_path() /
        ("taspo-history-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    const std::string folder = (root / "history").string() + "/";
};

TEST_F(HistoryStoreTest, KeepsEachGameWholeWithItsReplayAndReadsThemBackOldestFirst) {
    HistoryStore store(folder);
    std::vector<std::string> problems;
    EXPECT_TRUE(store.Load(&problems).empty()) << "no folder yet is no history, and no problem";
    std::vector<uint8_t> replay = {'T', 'S', 'P', 'R'};
    ASSERT_EQ(store.Keep(Game(1765473605, 300), &replay), "");
    ASSERT_EQ(store.Keep(Game(1765400000, 200), nullptr), "");
    ASSERT_EQ(store.Keep(Game(1765473605, 100), nullptr), "") << "two games in one second";
    std::vector<KeptGame> games = store.Load(&problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].stem, "20251210T205320Z");
    EXPECT_EQ(games[1].stem, "20251211T172005Z");
    EXPECT_EQ(games[2].stem, "20251211T172005Z-2");
    EXPECT_DOUBLE_EQ(games[1].record.targets[0].reactionMs, 300);
    EXPECT_TRUE(fs::exists(folder + "20251211T172005Z.taspo-replay"));
    EXPECT_EQ(Files(), 4u) << "no temporary file is left";
}

TEST_F(HistoryStoreTest, KeepsTheNewestThousandGamesAndTheirReplays) {
    HistoryStore store(folder);
    std::vector<uint8_t> replay = {1};
    for (int64_t i = 0; i < 1001; ++i) {
        ASSERT_EQ(store.Keep(Game(1700000000 + i, 200), i == 0 || i == 1 ? &replay : nullptr), "");
    }
    std::vector<std::string> problems;
    std::vector<KeptGame> games = store.Load(&problems);
    ASSERT_EQ(games.size(), 1000u);
    EXPECT_EQ(games.front().record.playedAt, 1700000001) << "the oldest went first";
    EXPECT_EQ(Files(), 1001u) << "its replay with it, the next one's kept";
}

TEST_F(HistoryStoreTest, ABadRecordIsNamedWithItsReasonAndTheOthersAreStillListed) {
    HistoryStore store(folder);
    ASSERT_EQ(store.Keep(Game(1765473605, 300), nullptr), "");
    ASSERT_EQ(store.Keep(Game(1765473700, 250), nullptr), "");
    std::ofstream(folder + "20251211T172006Z.taspo-game") << "taspo game 1\nplayed 1\nvers";
    std::ofstream(folder + "20251211T172007Z.taspo-game") << "taspo game 9\nend\n";
    std::vector<std::string> problems;
    EXPECT_EQ(store.Load(&problems).size(), 2u);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], folder +
                               "20251211T172006Z.taspo-game: the record is cut short (its "
                               "last line is unfinished)");
    EXPECT_EQ(problems[1], folder +
                               "20251211T172007Z.taspo-game: record version 9 is newer "
                               "than this program reads (1)");
}

TEST_F(HistoryStoreTest, AGameThatCannotBeWrittenLeavesNothingAndTheEarlierOnesIntact) {
    HistoryStore store(folder);
    ASSERT_EQ(store.Keep(Game(1765473605, 300), nullptr), "");
    // Where the record's temporary file would go, a folder stands: the write fails at the end.
    fs::create_directory(folder + "20251211T172010Z.taspo-game.tmp");
    std::vector<uint8_t> replay = {1, 2, 3};
    std::string problem = store.Keep(Game(1765473610, 200), &replay);
    EXPECT_EQ(problem.rfind("cannot write in " + folder + " (", 0), 0u) << problem;
    EXPECT_FALSE(fs::exists(folder + "20251211T172010Z.taspo-replay")) << "nor its replay";
    std::vector<std::string> problems;
    EXPECT_EQ(store.Load(&problems).size(), 1u);
    // A folder that cannot be made: a file stands in its way.
    std::ofstream(root / "file") << "x";
    EXPECT_EQ(HistoryStore((root / "file" / "history").string() + "/")
                  .Keep(Game(1, 1), nullptr)
                  .find("cannot make "),
              0u);
}

}  // namespace
