// The process entry on systems without Win32: answer --help or --version, or start SDL, turn SIGINT
// and SIGTERM into the quit message, and run the program's WinMain on our layer; recording the
// session, or playing a recorded one back, when the command line asks.
#include <csignal>
#include <cstdio>

#include "platform/file_places.h"
#include "platform/portable/replay/recording_backend.h"
#include "platform/portable/replay/replay_backend.h"
#include "platform/portable/sdl/command_line.h"
#include "platform/portable/sdl/sdl_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/game_files.h"

namespace {

void OnTerminate(int) {
    portable::RequestQuit();
}

void CatchTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int RunProgram() {
    static char commandLine[] = "";
    return WinMain(portable::ModuleInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
}

// The hash of the button.bmp the game would load, found where the game finds it. False, said on
// stderr, when there is none to read.
bool ButtonHash(uint64_t* hash) {
    GameFile button;
    FindGameFile(TargetImageFile, GameFileKind::Data, &button);
    if (!button.found) {
        std::fprintf(stderr, "taspo: %s: not found in %s\n", TargetImageFile, button.tried);
        return false;
    }
    if (!portable::HashFile(button.path, hash)) {
        std::fprintf(stderr, "taspo: %s: cannot read\n", button.path);
        return false;
    }
    return true;
}

// The file is written once the program has returned, whichever way the game ended.
int Record(const char* file, portable::Backend* machine) {
    // Without a button.bmp to play the game could not start either; it is said once, here.
    uint64_t button = 0;
    if (!ButtonHash(&button)) {
        return 1;
    }
    portable::RecordingBackend recorder(machine, button);
    int status = 0;
    {
        portable::ScopedBackend installed(&recorder);
        status = RunProgram();
    }
    std::string problem = portable::WriteReplayFile(file, recorder.Finish());
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    return status;
}

// --replay shows it in `window`; --check and --report have none.
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
    portable::ReplayBackend player(&replay, window);
    {
        portable::ScopedBackend installed(&player);
        RunProgram();
    }
    player.Finish();
    if (request.mode == SessionMode::Report) {
        std::fputs(player.Report().Text().c_str(), stdout);
    }
    if (player.Matched() && request.mode != SessionMode::Report) {
        std::printf("%s\n", player.Verdict(request.file).c_str());
    } else if (!player.Matched()) {
        std::fprintf(stderr, "%s\n", player.Verdict(request.file).c_str());
    }
    return player.Matched() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Installed before it starts: the help asks it where the program is.
    portable::SdlBackend backend;
    portable::ScopedBackend installed(&backend);
    char data[FilePathBytes];
    SessionRequest request;
    int answered =
        AnswerCommandLine(argc, argv, GetDataDirectory(data, sizeof(data)) ? data : nullptr, stdout,
                          stderr, &request);
    if (answered != CommandLinePlay) {
        return answered;
    }
    CatchTerminationSignals();
    if (request.mode == SessionMode::Check || request.mode == SessionMode::Report) {
        return PlayBack(request, nullptr);
    }
    if (!backend.Start()) {
        std::fprintf(stderr, "taspo: cannot open a window: no display (%s)\n", backend.Error());
        return 1;
    }
    if (request.mode == SessionMode::Record) {
        return Record(request.file, &backend);
    }
    if (request.mode == SessionMode::Replay) {
        return PlayBack(request, &backend);
    }
    return RunProgram();
}
