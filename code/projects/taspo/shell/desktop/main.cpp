// The game's process entry on systems without Win32: answer --help, --version or --history, or
// start SDL, turn SIGINT and SIGTERM into the quit message, and run the game on our layer,
// recording it and keeping it in the history; or play a recorded session back.
#include <csignal>
#include <cstdio>

#include "platform/file_places.h"
#include "platform/sdl/sdl_backend.h"
#include "projects/taspo/shell/command_line.h"
#include "projects/taspo/shell/history_keeping.h"
#include "projects/taspo/shell/replays/controls.h"
#include "projects/taspo/shell/replays/sessions.h"

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

}  // namespace

int main(int argc, char** argv) {
    // Installed before it starts: the help asks it where the program is.
    portable::SdlBackend backend(TaspoControls);
    portable::ScopedBackend installed(&backend);
    char data[FilePathBytes];
    SessionRequest request;
    int answered =
        AnswerCommandLine(argc, argv, GetDataDirectory(data, sizeof(data)) ? data : nullptr, stdout,
                          stderr, &request);
    if (answered != CommandLinePlay) {
        return answered;
    }
    if (request.mode == SessionMode::History) {
        return ShowHistory(HistoryFolder(), request, stdout, stderr);
    }
    CatchTerminationSignals();
    if (request.mode == SessionMode::Check || request.mode == SessionMode::Report) {
        return PlayBack(request, nullptr);
    }
    if (!backend.Start()) {
        std::fprintf(stderr, "taspo: cannot open a window: no display (%s)\n", backend.Error());
        return 1;
    }
    if (request.mode == SessionMode::Replay) {
        return PlayBack(request, &backend);
    }
    return PlayAndKeep(&backend, request.mode == SessionMode::Record ? request.file : nullptr);
}
