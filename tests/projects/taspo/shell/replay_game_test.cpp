// Whole games recorded and replayed: however a game ends, its replay gives the same pictures and
// the same events, and a changed recording is caught at the first frame that differs. The generator
// cannot be reset, so each recording and each replay is played in a child process forked from this
// one, which never draws itself: both start from the same generator state. The committed session,
// recorded with the real program, checks clean on every build (wasm32 has no child processes,
// but each of its cases runs in a fresh one).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "config/variable_registry.h"
#include "platform/headless/headless_backend.h"
#include "platform/recorder/recording_backend.h"
#include "platform/replayer/replay_backend.h"
#include "projects/taspo/history/measures.h"
#include "projects/taspo/reaction_cycle.h"
#include "projects/taspo/shell/history_keeping.h"
#include "projects/taspo/shell/replays/sessions.h"
#include "projects/taspo/shell/session_report.h"
#include "support/game/game_harness.h"
#include "support/picture_report.h"

namespace {

using portable::Replay;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint64_t ButtonHash() {
    uint64_t hash = 0;
    EXPECT_TRUE(portable::HashFile(TargetImageFile, &hash));
    return hash;
}

#if GTEST_HAS_DEATH_TEST
constexpr const char* FileName = "game.taspo-replay";
constexpr const char* LiveReport = "live.txt";
constexpr const char* ReplayedReport = "replayed.txt";

// Replays `path` without a window, after `tamper` had its way with the recording. Prints the
// verdict on stderr, writes the report to ReplayedReport in the working directory, and exits 0
// when everything matched.
[[noreturn]] void CheckGame(const char* path, void (*tamper)(Replay*) = nullptr) {
    Replay replay;
    std::string problem = portable::ReadReplayFile(path, ButtonHash(), &replay);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::exit(2);
    }
    if (tamper != nullptr) {
        tamper(&replay);
    }
    portable::ReplayBackend player(&replay, nullptr, TaspoWatch);
    SessionReport report;
    {
        portable::ScopedBackend installed(&player);
        RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT, &report);
    }
    player.Finish();
    std::fprintf(stderr, "%s\n", player.Verdict(path).c_str());
    std::ofstream(ReplayedReport) << report.Text();
    std::exit(player.Matched() ? 0 : 1);
}
// A replayer that also reads the reaction times from the pictures it is shown.
class PictureReadingReplay : public portable::ReplayBackend {
public:
    explicit PictureReadingReplay(const Replay* replay)
        : ReplayBackend(replay, nullptr, TaspoWatch), frequency_(replay->header.counterFrequency) {}
    void Present(const portable::ClientPixels& pixels) override {
        ReplayBackend::Present(pixels);
        pictures.Presented(pixels, counter_, frequency_);
    }
    int64_t Counter() override { return counter_ = ReplayBackend::Counter(); }

    PictureReport pictures;

private:
    int64_t frequency_;
    int64_t counter_ = 0;
};

#endif  // GTEST_HAS_DEATH_TEST

TEST(ReplayFixture, TheCommittedSessionChecksCleanOnThisBuild) {
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, ReadText(TASPO_SOURCE_DIR "/assets/button.bmp"));
    const char* session = TASPO_SOURCE_DIR "/tests/projects/taspo/shell/session.taspo-replay";
#if GTEST_HAS_DEATH_TEST
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(CheckGame(session), testing::ExitedWithCode(0),
                "session.taspo-replay: [0-9]+ frames, [0-9]+ checkpoints, all match");
#else
    Replay replay;
    ASSERT_EQ(portable::ReadReplayFile(session, ButtonHash(), &replay), "");
    portable::ReplayBackend player(&replay, nullptr, TaspoWatch);
    {
        portable::ScopedBackend installed(&player);
        RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT);
    }
    player.Finish();
    EXPECT_TRUE(player.Matched()) << player.Verdict(session);
    EXPECT_GT(replay.frames.size(), 100u);
#endif
}

#if GTEST_HAS_DEATH_TEST

// The committed session replayed: each target the game told of is the one its pictures show, with
// the same time, outcome and reaction time; the pictures show no target the game did not tell.
[[noreturn]] void CompareEventsWithPictures(const char* path) {
    Replay replay;
    std::string problem = portable::ReadReplayFile(path, ButtonHash(), &replay);
    PictureReadingReplay player(&replay);
    SessionReport events;
    {
        portable::ScopedBackend installed(&player);
        RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT, &events);
    }
    const std::vector<TargetResult>& told = events.Targets();
    const std::vector<TargetResult>& seen = player.pictures.Targets();
    bool same =
        problem.empty() && player.Matched() && told.size() == seen.size() && told.size() >= 3;
    for (size_t i = 0; same && i < told.size(); ++i) {
        same = told[i].shownSeconds == seen[i].shownSeconds && told[i].hit == seen[i].hit &&
               told[i].reactionMs == seen[i].reactionMs;
        if (!same) {
            std::fprintf(stderr, "target %zu: told %.4f s %d %.3f ms, seen %.4f s %d %.3f ms\n",
                         i + 1, told[i].shownSeconds, told[i].hit, told[i].reactionMs,
                         seen[i].shownSeconds, seen[i].hit, seen[i].reactionMs);
        }
    }
    std::fprintf(stderr, "%zu targets told, %zu seen\n", told.size(), seen.size());
    std::exit(same ? 0 : 1);
}

TEST(ReplayFixture, TheGamesEventsTellWhatItsPicturesShowTargetByTarget) {
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, ReadText(TASPO_SOURCE_DIR "/assets/button.bmp"));
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(CompareEventsWithPictures(TASPO_SOURCE_DIR
                                          "/tests/projects/taspo/shell/session.taspo-replay"),
                testing::ExitedWithCode(0), "targets told");
}

// The committed session replayed and kept as a history record: read back, the record gives the
// report's measures, and it is a game to keep. With KeepHistory = false it is not, and nothing
// is kept.
[[noreturn]] void KeepReplayedGame(const char* path, const char* config, const char* folder) {
    std::ofstream("taspo.cfg") << config;
    Replay replay;
    std::string problem = portable::ReadReplayFile(path, ButtonHash(), &replay);
    portable::ReplayBackend player(&replay, nullptr, TaspoWatch);
    PlayedGame game;
    {
        portable::ScopedBackend installed(&player);
        RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT, &game);
    }
    std::vector<uint8_t> bytes = {1};
    bool kept = problem.empty() && game.Keep(folder, &bytes);
    std::vector<std::string> problems;
    std::vector<KeptGame> games = HistoryStore(folder).Load(&problems);
    if (games.size() != 1) {
        std::fprintf(stderr, "%zu games kept\n", games.size());
        std::exit(kept && !game.ToKeep() && problems.empty() && games.empty() ? 3 : 1);
    }
    Measures reported = game.Measured();
    Measures recorded = MeasureRecord(games[0].record);
    bool same = reported.targets == recorded.targets && reported.hits == recorded.hits &&
                reported.falseStarts == recorded.falseStarts &&
                std::llround(reported.medianMs) == std::llround(recorded.medianMs) &&
                std::llround(reported.bestMs) == std::llround(recorded.bestMs) &&
                std::abs(reported.meanMs - recorded.meanMs) < 0.01 && reported.targets >= 3;
    std::fprintf(stderr, "%u targets, median %.3f ms and %.3f ms\n", reported.targets,
                 reported.medianMs, recorded.medianMs);
    std::exit(same && game.ToKeep() ? 0 : 1);
}

TEST(ReplayFixture, ItsHistoryRecordGivesTheReportsMeasures) {
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, ReadText(TASPO_SOURCE_DIR "/assets/button.bmp"));
    GTEST_FLAG_SET(death_test_style, "fast");
    const char* session = TASPO_SOURCE_DIR "/tests/projects/taspo/shell/session.taspo-replay";
    EXPECT_EXIT(KeepReplayedGame(session, "", "kept/"), testing::ExitedWithCode(0),
                "3 targets, median");
    EXPECT_EXIT(KeepReplayedGame(session, "KeepHistory = false\n", "off/"),
                testing::ExitedWithCode(3), "0 games kept");
}

enum class Ending { Escape, CloseMessage, QuitRequest };

// A desktop that posts the messages it is given while pumped, as a real one does.
class PumpingMachine : public portable::HeadlessBackend {
public:
    std::vector<UINT> toPost;
    void PumpEvents() override {
        for (UINT message : toPost) {
            PostWindowMessage(message);
        }
        toPost.clear();
    }
};

// Plays a scripted game while recording it: the first target is hit 16 frames after it shows,
// the second missed, the third hit after 24 frames; the focus is lost for a while in the first
// wait; the game ends as `ending` says when the fourth target shows. Writes the replay to
// FileName and the live report to LiveReport.
[[noreturn]] void RecordGame(Ending ending) {
    constexpr int64_t TicksPerSecond = 1 << 20;
    PumpingMachine machine;
    machine.SetCounterFrequency(TicksPerSecond);
    portable::RecordingBackend recorder(&machine, ButtonHash(), TaspoWatch);
    SessionReport live;
    bool running = false;
    {
        portable::ScopedBackend installed(&recorder);
        ScopedEngineArena arena;
        StartupFailure failure;
        running = AppStartup(portable::ModuleInstance(), SW_SHOW, &failure);
        gameEvents = &live;
        int targets = 0;
        int shownFor = 0;
        for (int frame = 0; running && frame < 64 * 20; ++frame) {
            shownFor = targetShown ? shownFor + 1 : 0;
            targets += shownFor == 1 ? 1 : 0;
            int pressAt = targets == 1 ? 16 : targets == 3 ? 24 : 1000;
            machine.SetKeyDown(VK_SPACE, shownFor >= pressAt && shownFor < pressAt + 3);
            machine.SetFocus(frame < 20 || frame > 30);
            if (targets == 4 && shownFor == 1) {
                if (ending == Ending::Escape) {
                    machine.SetKeyDown(VK_ESCAPE, true);
                } else if (ending == Ending::CloseMessage) {
                    machine.toPost.push_back(WM_CLOSE);
                } else {
                    portable::RequestQuit();  // what SIGINT and SIGTERM do
                }
            }
            machine.AdvanceTicks(TicksPerSecond / 64);
            running = AppFrame();
        }
        gameEvents = nullptr;
        AppShutdown();
        ReleaseRegistry();
    }
    std::string problem = portable::WriteReplayFile(FileName, recorder.Finish());
    std::ofstream(LiveReport) << live.Text();
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::exit(running || !problem.empty() ? 1 : 0);
}

class ReplayGameTest : public ::testing::TestWithParam<Ending> {
protected:
    ReplayGameTest() {
        GTEST_FLAG_SET(death_test_style, "fast");
        scratch.Write(TargetImageFile, TestButtonBmp(100, 50, 10));
    }
    ScratchDirectory scratch;
};

TEST_P(ReplayGameTest, ChecksCleanAndReportsWhatTheScreenShowed) {
    EXPECT_EXIT(RecordGame(GetParam()), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(CheckGame(FileName), testing::ExitedWithCode(0),
                "game.taspo-replay: [0-9]+ frames, [0-9]+ checkpoints, all match");
    std::string live = ReadText(LiveReport);
    EXPECT_EQ(ReadText(ReplayedReport), live);
    EXPECT_NE(live.find("target 1: shown at "), std::string::npos) << live;
    EXPECT_NE(live.find(", hit, 250 ms\ntarget 2: shown at "), std::string::npos) << live;
    EXPECT_NE(live.find(" s, miss\ntarget 3: shown at "), std::string::npos) << live;
    EXPECT_NE(live.find(", hit, 375 ms\n3 targets: 2 hits, 1 miss, median 313 ms, best 250 ms\n"),
              std::string::npos)
        << live;
}

INSTANTIATE_TEST_SUITE_P(EndedBy, ReplayGameTest,
                         testing::Values(Ending::Escape, Ending::CloseMessage,
                                         Ending::QuitRequest));

// The first press of space, recorded as released: the hit it made is missing from that frame.
void ForgetFirstPress(Replay* replay) {
    for (portable::ReplayKeyChange& change : replay->keys) {
        if (change.key == VK_SPACE && change.down) {
            change.down = false;
            return;
        }
    }
}

// The first picture, recorded with another hash.
void SpoilFirstPicture(Replay* replay) {
    replay->checkpoints.front().hash ^= 1;
}

TEST_F(ReplayGameTest, AChangedKeyOrPictureIsCaughtAtTheFirstFrameThatDiffers) {
    EXPECT_EXIT(RecordGame(Ending::Escape), testing::ExitedWithCode(0), "");
    Replay replay;
    ASSERT_EQ(portable::ReadReplayFile(FileName, ButtonHash(), &replay), "");
    size_t press = 0;
    while (press < replay.keys.size() && replay.keys[press].key != VK_SPACE) {
        ++press;
    }
    size_t frame = 0;
    while (frame < replay.frames.size() && replay.frames[frame].keyEnd <= press) {
        ++frame;
    }
    ASSERT_LT(frame, replay.frames.size());
    EXPECT_EXIT(CheckGame(FileName, ForgetFirstPress), testing::ExitedWithCode(1),
                "game.taspo-replay: frame " + std::to_string(frame) + " differs: ");
    EXPECT_EXIT(CheckGame(FileName, SpoilFirstPicture), testing::ExitedWithCode(1),
                "game.taspo-replay: frame 0 differs: the picture is not the recorded one");
}

#endif  // GTEST_HAS_DEATH_TEST

}  // namespace

// The window scale only changes how a window is shown, so it is not recorded; but a recorded or
// replayed game must still reach the desktop's window with it.
TEST(ReplayWindowScale, ReachesTheWindowBehindTheRecorderAndTheReplayer) {
    portable::HeadlessBackend window;
    portable::RecordingBackend recorder(&window, 0, TaspoWatch);
    recorder.SetWindowScale(2);
    EXPECT_EQ(window.WindowScale(), 2);
    Replay replay;
    portable::ReplayBackend player(&replay, &window, TaspoWatch);
    player.SetWindowScale(3);
    EXPECT_EQ(window.WindowScale(), 3);
}
