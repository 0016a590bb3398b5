// The game's command line on Linux: --help and --version answer and end the process; anything
// else given is refused; no arguments at all means play, as always.
#pragma once

#include <cstdio>

constexpr int CommandLinePlay = -1;  // not an exit code: go on and start the game

// Answers the command line: prints the help or version to `out`, or one line naming the
// argument it does not know to `err`. The help names `dataDirectory`, where this very program
// finds its installed data (null when it cannot tell). Returns the exit code (0 after an answer,
// 1 when the answer could not be written, 2 for an unknown argument), or CommandLinePlay when
// there are no arguments.
int AnswerCommandLine(int argc, const char* const* argv, const char* dataDirectory, FILE* out,
                      FILE* err);
