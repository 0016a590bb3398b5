// Playing, recording and replaying the game.
#include "projects/taspo/shell/replays/sessions.h"

#include <cstdio>
#include <string>

#include "platform/recorder/recording_backend.h"
#include "platform/replayer/replay_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/game_files.h"
#include "projects/taspo/shell/history_keeping.h"
#include "projects/taspo/shell/session_report.h"

int PlayGame(GameEvents* events) {
    return RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT, events);
}

bool ButtonHash(uint64_t* hash, bool say) {
    GameFile button;
    FindGameFile(TargetImageFile, GameFileKind::Data, &button);
    if (!button.found) {
        if (say) {
            std::fprintf(stderr, "taspo: %s: not found in %s\n", TargetImageFile, button.tried);
        }
        return false;
    }
    if (!portable::HashFile(button.path, hash)) {
        if (say) {
            std::fprintf(stderr, "taspo: %s: cannot read\n", button.path);
        }
        return false;
    }
    return true;
}

int RecordGame(portable::Backend* machine, uint64_t buttonHash, GameEvents* events,
               std::vector<uint8_t>* replay) {
    portable::RecordingBackend recorder(machine, buttonHash, TaspoWatch);
    int status = 0;
    {
        portable::ScopedBackend installed(&recorder);
        status = PlayGame(events);
    }
    *replay = recorder.Finish();
    return status;
}

int PlayAndKeep(portable::Backend* machine, const char* file) {
    // Without a button.bmp to play the game cannot start either. With --record that is said
    // once, here; otherwise the game says why it cannot start, as ever.
    uint64_t button = 0;
    if (!ButtonHash(&button, file != nullptr) && file != nullptr) {
        return 1;
    }
    PlayedGame game;
    std::vector<uint8_t> replay;
    int status = RecordGame(machine, button, &game, &replay);
    game.Keep(HistoryFolder(), &replay);
    if (file == nullptr) {
        return status;
    }
    std::string problem = portable::WriteReplayFile(file, replay);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    return status;
}

int PlayBack(const SessionRequest& request, portable::Backend* window) {
    uint64_t button = 0;
    if (!ButtonHash(&button)) {
        return 1;
    }
    portable::Replay replay;
    std::string problem = portable::ReadReplayFile(request.file, button, &replay);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    portable::ReplayBackend player(&replay, window, TaspoWatch);
    SessionReport report;
    {
        portable::ScopedBackend installed(&player);
        PlayGame(&report);
    }
    player.Finish();
    if (request.mode == SessionMode::Report) {
        std::fputs(report.Text().c_str(), stdout);
    }
    if (player.Matched() && request.mode != SessionMode::Report) {
        std::printf("%s\n", player.Verdict(request.file).c_str());
    } else if (!player.Matched()) {
        std::fprintf(stderr, "%s\n", player.Verdict(request.file).c_str());
    }
    return player.Matched() ? 0 : 1;
}
