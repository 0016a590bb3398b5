// Finds the game's two files: in the working directory first, as the game always has, then in
// the folder the platform names for each (the installed data, the user's settings).
#pragma once

#include <cstdint>

#include "platform/file_places.h"

enum class GameFileKind {
    Data,    // button.bmp: then the data directory
    Config,  // taspo.cfg: then the user's configuration directory
};

struct GameFile {
    bool found;
    char path[FilePathBytes + 64];     // the first place that has the file; what messages name
    char tried[FilePathBytes + 64];    // every folder looked in, for when none had it:
                                       // "the working directory or /usr/share/games/taspo/"
    char problem[FilePathBytes + 64];  // why the file found cannot be read, when it is known
                                       // before opening it; empty otherwise
};

// A place has the file when anything is there by that name, readable or not, so a broken file in
// the working directory is reported instead of passed over for another. A symbolic link whose
// target is missing is such a file; `problem` says so. A folder that cannot be searched has
// nothing.
void FindGameFile(const char* name, GameFileKind kind, GameFile* file);
