// The game's command line: --help and --version answer and end the process; --history shows the
// games kept; on our layer --record, --replay, --check and --report name a replay file; anything
// else given is refused; no arguments at all means play, as always.
#pragma once

#include <cstdio>

constexpr int CommandLinePlay = -1;  // not an exit code: go on and start the game

enum class SessionMode {
    Play,
    Record,   // play, and write the session to the file
    Replay,   // play the file back in the window, at its pace
    Check,    // replay the file without a window, as fast as it goes, and compare its pictures
    Report,   // replay it without a window and print the reaction times
    History,  // show the games kept, as `view` says
};

enum class HistoryView {
    Text,  // a line a game and a summary
    Csv,   // every target and false start
    Svg,   // a chart, written to the file
};

struct SessionRequest {
    SessionMode mode = SessionMode::Play;
    const char* file = nullptr;
    HistoryView view = HistoryView::Text;
};

// Answers the command line: prints the help or version to `out`, or one line naming the
// argument it does not know to `err`. The help names `dataDirectory`, where this very program
// finds its installed data (null when it cannot tell). Returns the exit code (0 after an answer,
// 1 when the answer could not be written, 2 for an unknown argument), or CommandLinePlay when
// there are no arguments, or a replay or history option with what it needs, which `session` then
// holds.
int AnswerCommandLine(int argc, const char* const* argv, const char* dataDirectory, FILE* out,
                      FILE* err, SessionRequest* session = nullptr);
