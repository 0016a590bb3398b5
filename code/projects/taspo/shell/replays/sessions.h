// The game's sessions on our platform layer: played, recorded to a replay file, or a replay file
// played back, in a window or without one, with the reaction times the game's events give.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/portable/backend.h"
#include "platform/replay/checkpoint_picker.h"
#include "projects/taspo/game_constants.h"
#include "projects/taspo/game_events.h"
#include "projects/taspo/shell/command_line.h"

// Where Taspo's pictures change: the centre row, which the target crosses, and a corner, which
// has the phase's background.
constexpr portable::WatchedPixels TaspoWatch = {ScreenHeight / 2, 0, 0};

// The game on the installed backend, telling `events` (which may be null) what happens.
int PlayGame(GameEvents* events);

// The ReplayHash of the button.bmp the game would load, found where the game finds it. False when
// there is none to read, said on stderr when `say`.
bool ButtonHash(uint64_t* hash, bool say = true);

// Plays on `machine`, recording: the replay file's bytes in `replay` however the game ended.
int RecordGame(portable::Backend* machine, uint64_t buttonHash, GameEvents* events,
               std::vector<uint8_t>* replay);

// Plays on `machine`, recording, and keeps the game with its replay in the history; with
// --record also writes the replay to `file` (null: none) once the game has ended.
int PlayAndKeep(portable::Backend* machine, const char* file);

// --replay in `window`; --check and --report with none. Says the verdict, and for --report prints
// the reaction times first.
int PlayBack(const SessionRequest& request, portable::Backend* window);
