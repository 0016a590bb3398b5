// A kept game's text: read back as written, and refused, with the reason, when torn, foreign,
// from a newer program or hostile.
#include "projects/taspo/history/game_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace {

GameRecord Sample() {
    GameRecord record;
    record.playedAt = 1765473605;
    record.version = "1.0.0";
    record.targets = {{1.0, true, 525.25}, {2.875, false, 0.0}};
    record.falseStarts = {3.1};
    return record;
}

TEST(GameRecord, ReadsBackWhatWasWritten) {
    std::string text = EncodeGameRecord(Sample());
    EXPECT_EQ(text,
              "taspo game 1\nplayed 1765473605\nversion 1.0.0\ntarget 1.000 hit 525.250\n"
              "target 2.875 miss\nfalsestart 3.100\nend\n");
    GameRecord read;
    ASSERT_EQ(DecodeGameRecord(text, &read), "");
    GameRecord edited;
    ASSERT_EQ(DecodeGameRecord(std::regex_replace(text, std::regex("\n"), "\r\n"), &edited), "")
        << "lines ended by CR LF, as an editor on Windows may leave them";
    EXPECT_EQ(edited.targets.size(), 2u);
    EXPECT_EQ(read.playedAt, 1765473605);
    EXPECT_EQ(read.version, "1.0.0");
    ASSERT_EQ(read.targets.size(), 2u);
    EXPECT_TRUE(read.targets[0].hit);
    EXPECT_DOUBLE_EQ(read.targets[0].reactionMs, 525.25);
    EXPECT_FALSE(read.targets[1].hit);
    EXPECT_EQ(read.falseStarts, std::vector<double>{3.1});
}

TEST(GameRecord, RefusesABadRecordWithTheReasonAndKeepsNothingOfIt) {
    const std::string good = EncodeGameRecord(Sample());
    const std::string head = "taspo game 1\nplayed 1\nversion 1\n";
    const std::pair<std::string, std::string> cases[] = {
        {good.substr(0, good.size() - 4), "the record is cut short (no end line)"},
        {good.substr(0, good.size() - 1), "the record is cut short (its last line is unfinished)"},
        {"", "not a Taspo game record"},
        {"GIF89a\n", "not a Taspo game record"},
        {"taspo game x\nend\n", "not a Taspo game record"},
        {"taspo game 2\nend\n", "record version 2 is newer than this program reads (1)"},
        {"taspo game 0\nend\n", "record version 0 does not exist (versions start at 1)"},
        {good + "end\n", "lines follow the end line"},
        {head + "target 1.0 hat 200\nend\n", "line 4 is not understood"},
        {head + "target -1.0 miss\nend\n", "line 4 is not understood"},
        {head + "target nan miss\nend\n", "line 4 is not understood"},
        {head + "target 1.0 hit 1e7\nend\n", "line 4 is not understood"},
        {head + "falsestart 1.0 2.0\nend\n", "line 4 is not understood"},
        {head + "target 1.0 miss" + std::string(100, ' ') + "\nend\n", "line 4 is not understood"},
        {"taspo game 1\nplayed 1\nend\n", "the record names no version"},
        {head + std::string(GameRecordMaxBytes, '#'), "the record is larger than 4 MiB"},
    };
    for (const auto& [text, reason] : cases) {
        GameRecord read = Sample();
        EXPECT_EQ(DecodeGameRecord(text, &read), reason) << text.substr(0, 60);
        EXPECT_TRUE(read.targets.empty() && read.version.empty()) << reason;
    }
}

TEST(GameRecord, HoldsAtMostAHundredThousandTargets) {
    std::string text = "taspo game 1\nplayed 1\nversion 1\n";
    for (int i = 0; i < 100000; ++i) {
        text += "target 1 miss\n";
    }
    GameRecord read;
    EXPECT_EQ(DecodeGameRecord(text + "end\n", &read), "");
    EXPECT_EQ(read.targets.size(), 100000u);
    EXPECT_EQ(DecodeGameRecord(text + "target 1 miss\nend\n", &read), "more than 100000 targets");
}

// The fuzzing seeds (fuzz/corpus/history) are records the reader takes, so the fuzzer starts from
// files that reach every kind of line.
TEST(GameRecord, TheFuzzingSeedsAreReadWithoutAComplaint) {
    int seeds = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(TASPO_SOURCE_DIR "/fuzz/corpus/history")) {
        std::ifstream in(entry.path(), std::ios::binary);
        GameRecord read;
        EXPECT_EQ(DecodeGameRecord(std::string(std::istreambuf_iterator<char>(in), {}), &read), "")
            << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 3);
}

}  // namespace
