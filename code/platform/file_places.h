// Where the game's files live when they are not in the working directory: the data installed with
// the program, the user's own settings, and what the game keeps for the user. Each is a folder that
// depends on the system, so each system's part of the platform layer answers (portable/ on Linux,
// windows/ on Windows).
#pragma once

#include <cstdint>

// A folder or file path: at most 1023 characters, 1024 bytes with its terminator.
constexpr uint32_t FilePathBytes = 1024;

// The read-only data installed with the program, found from the executable's own location:
// on Linux by the relative path between the two install folders, fixed when the build is
// configured (<prefix>/share/games/taspo/ for <prefix>/games/taspo by default), the folder of
// taspo.exe on Windows. Fills `path` with the folder, ending in a separator, and returns true;
// returns false when the system cannot say where the executable is or the path does not fit.
bool GetDataDirectory(char* path, uint32_t size);

// The user's configuration folder for the game: $XDG_CONFIG_HOME/taspo/, by default
// ~/.config/taspo/, on Linux; %APPDATA%\Taspo\ on Windows. Same contract as GetDataDirectory.
bool GetConfigDirectory(char* path, uint32_t size);

// The user's data folder for the game, where it keeps what it writes: $XDG_DATA_HOME/taspo/, by
// default ~/.local/share/taspo/, on Linux; %LOCALAPPDATA%\Taspo\ on Windows. Same contract as
// GetDataDirectory; the folder may not exist yet.
bool GetUserDataDirectory(char* path, uint32_t size);
