// Taspo's Windows entry point: answer --help, --version or --history, or play the game and keep it
// in the history.
#include <cstdio>
#include <cstdlib>

#include "platform/file_places.h"
#include "projects/taspo/app.h"
#include "projects/taspo/shell/command_line.h"
#include "projects/taspo/shell/history_keeping.h"

namespace {

// A windowed program has no console of its own: its answers go to the console it was started
// from, unless its output is redirected already.
void UseStartingConsole() {
    bool redirected = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (!redirected && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (__argc > 1) {
        UseStartingConsole();
        char data[FilePathBytes];
        SessionRequest request;
        int answered =
            AnswerCommandLine(__argc, __argv, GetDataDirectory(data, sizeof(data)) ? data : nullptr,
                              stdout, stderr, &request);
        if (answered != CommandLinePlay) {
            return answered;
        }
        if (request.mode == SessionMode::History) {
            return ShowHistory(HistoryFolder(), request, stdout, stderr);
        }
    }
    PlayedGame game;
    int status = RunTaspo(instance, showCommand, &game);
    game.Keep(HistoryFolder(), nullptr);
    return status;
}
