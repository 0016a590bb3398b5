// The process entry on systems without Win32: answer --help or --version, or start SDL, turn SIGINT
// and SIGTERM into the quit message, and run the program's WinMain on our layer.
#include <csignal>
#include <cstdio>

#include "platform/file_places.h"
#include "platform/portable/sdl/command_line.h"
#include "platform/portable/sdl/sdl_backend.h"

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
    portable::SdlBackend backend;
    portable::ScopedBackend installed(&backend);
    char data[FilePathBytes];
    int answered = AnswerCommandLine(
        argc, argv, GetDataDirectory(data, sizeof(data)) ? data : nullptr, stdout, stderr);
    if (answered != CommandLinePlay) {
        return answered;
    }
    if (!backend.Start()) {
        std::fprintf(stderr, "taspo: cannot open a window: no display (%s)\n", backend.Error());
        return 1;
    }
    CatchTerminationSignals();
    static char commandLine[] = "";
    return WinMain(portable::ModuleInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
}
