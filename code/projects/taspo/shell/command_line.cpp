// The help, version and refusal texts of the game's command line. TASPO_VERSION is the project's
// version, given by the build.
#include "projects/taspo/shell/command_line.h"

#include <cerrno>
#include <cstring>

#ifndef TASPO_VERSION
#error "the build defines TASPO_VERSION, the project's version"
#endif

namespace {

#ifdef _WIN32
const char* const UsageText =
    "Usage: taspo [--help | --version | --history [--csv | --svg FILE]]\n"
    "\n";
#else
const char* const UsageText =
    "Usage: taspo [--help | --version | --history [--csv | --svg FILE] | --record FILE |\n"
    "              --replay FILE | --check FILE | --report FILE]\n"
    "\n";
#endif

const char* const HelpText =
    "Taspo is a reaction game. A grey window shows a round button after a random wait;\n"
    "press space while it shows and the window flashes light blue (a hit). Let it vanish\n"
    "and the window turns dark red (a miss). Then the next wait begins.\n"
    "\n"
    "Keys:\n"
    "  space    hit the button while it shows\n"
    "  Escape   end the game (closing the window does too)\n"
    "\n"
    "History (every game that showed a target is kept; KeepHistory = false in\n"
    "taspo.cfg keeps none):\n"
    "  --history            one line a game: targets, hits, misses, false starts,\n"
    "                       median and best; then the same over all games\n"
    "  --history --csv      every target and false start as CSV\n"
    "  --history --svg FILE a chart: each game's median, every hit, and how many\n"
    "                       hits took each 50 ms\n"
#ifndef _WIN32
    "\n"
    "Replays (files of what each frame read: the clock, the keys, the focus):\n"
    "  --record FILE  play as usual and write the session to FILE, however it ends\n"
    "  --replay FILE  play FILE back in the window at the pace it was recorded\n"
    "  --check FILE   replay FILE without a window, as fast as it goes, and compare\n"
    "                 every checkpoint of its pictures\n"
    "  --report FILE  print when each target showed, hit or miss, and the reaction\n"
    "                 times in milliseconds\n"
    "\n"
    "Files, each read from the working directory first:\n"
    "  button.bmp  the button's picture; else from ../share/games/taspo/ beside the\n"
    "              program, /usr/share/games/taspo/ when installed\n"
    "  taspo.cfg   optional settings; else from $XDG_CONFIG_HOME/taspo/, by default\n"
    "              ~/.config/taspo/\n"
    "The games kept, each with its replay: $XDG_DATA_HOME/taspo/history/, by\n"
    "default ~/.local/share/taspo/history/\n";
#else
    "\n"
    "Files, each read from the working directory first:\n"
    "  button.bmp  the button's picture; else from the folder of taspo.exe\n"
    "  taspo.cfg   optional settings; else from %APPDATA%\\Taspo\\\n"
    "The games kept: %LOCALAPPDATA%\\Taspo\\history\\\n";
#endif

const char* const ExitText =
    "\n"
    "Exit status: 0 when the game ends, 1 when it cannot start (or cannot write this\n"
    "answer, or a replay file; or a replay differs from its recording), 2 for an unknown\n"
    "option.\n";

struct ReplayOption {
    const char* name;
    SessionMode mode;
};

#ifndef _WIN32
const ReplayOption ReplayOptions[] = {
    {"--record", SessionMode::Record},
    {"--replay", SessionMode::Replay},
    {"--check", SessionMode::Check},
    {"--report", SessionMode::Report},
};
#endif

bool Is(const char* argument, const char* option) {
    return std::strcmp(argument, option) == 0;
}

int Unknown(FILE* err, const char* argument) {
    std::fprintf(err, "taspo: unknown option \"%s\" (taspo --help lists the options)\n", argument);
    return 2;
}

// --history, --history --csv or --history --svg FILE.
int AnswerHistory(int argc, const char* const* argv, FILE* err, SessionRequest* session) {
    SessionRequest request{SessionMode::History, nullptr, HistoryView::Text};
    if (argc >= 3 && Is(argv[2], "--csv")) {
        request.view = HistoryView::Csv;
    } else if (argc >= 3 && Is(argv[2], "--svg")) {
        if (argc < 4 || argv[3][0] == '\0') {
            std::fputs("taspo: --svg needs a file name\n", err);
            return 2;
        }
        request.view = HistoryView::Svg;
        request.file = argv[3];
    } else if (argc >= 3) {
        return Unknown(err, argv[2]);
    }
    int used = request.view == HistoryView::Text ? 2 : request.view == HistoryView::Csv ? 3 : 4;
    if (argc > used) {
        return Unknown(err, argv[used]);
    }
    if (session != nullptr) {
        *session = request;
    }
    return CommandLinePlay;
}

// An answer only counts once it is out: a full disk or a closed descriptor makes it a failure, said
// on `err` if that still can be.
int Answered(FILE* out, FILE* err, const char* what) {
    errno = 0;
    if (std::fflush(out) == 0 && std::ferror(out) == 0) {
        return 0;
    }
    int error = errno != 0 ? errno : EIO;
    std::fprintf(err, "taspo: cannot write the %s to standard output (%s)\n", what,
                 std::strerror(error));
    std::fflush(err);
    return 1;
}

}  // namespace

int AnswerCommandLine(int argc, const char* const* argv, const char* dataDirectory, FILE* out,
                      FILE* err, SessionRequest* session) {
    if (argc < 2) {
        return CommandLinePlay;
    }
    const char* argument = argv[1];
    if (Is(argument, "--history")) {
        return AnswerHistory(argc, argv, err, session);
    }
#ifndef _WIN32
    for (const ReplayOption& option : ReplayOptions) {
        if (!Is(argument, option.name)) {
            continue;
        }
        if (argc != 3 || argv[2][0] == '\0') {
            std::fprintf(
                err, "taspo: %s %s\n", option.name,
                argc < 3 || argv[2][0] == '\0' ? "needs a file name" : "takes one file name");
            return 2;
        }
        if (session != nullptr) {
            *session = SessionRequest{option.mode, argv[2], HistoryView::Text};
        }
        return CommandLinePlay;
    }
#endif
    if (argc == 2 && (Is(argument, "--help") || Is(argument, "-h"))) {
        std::fputs(UsageText, out);
        std::fputs(HelpText, out);
        if (dataDirectory != nullptr) {
            std::fprintf(out, "This program's installed data: %s\n", dataDirectory);
        }
        std::fputs(ExitText, out);
        return Answered(out, err, "help");
    }
    if (argc == 2 && Is(argument, "--version")) {
        std::fprintf(out, "taspo %s\n", TASPO_VERSION);
        return Answered(out, err, "version");
    }
    // Past a known option, the next argument is the one too many.
    if (Is(argument, "--help") || Is(argument, "-h") || Is(argument, "--version")) {
        argument = argv[2];
    }
    return Unknown(err, argument);
}
