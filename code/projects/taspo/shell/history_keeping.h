// The player's history as the shell keeps and shows it. A game is kept when it ends, unless
// KeepHistory = false in taspo.cfg or it ended before any target showed; a game that cannot be
// kept says so once on stderr, and the game itself ends as ever.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/history/history_store.h"
#include "projects/taspo/shell/command_line.h"
#include "projects/taspo/shell/session_report.h"

// The history's folder: "history" in the user's data folder of file_places.h; "" when the system
// cannot say where that is.
std::string HistoryFolder();

// A game's report that also notes what the history needs: when the game started, by the wall
// clock, and whether taspo.cfg lets it be kept.
class PlayedGame : public SessionReport {
public:
    void Started(int64_t counter, int64_t ticksPerSecond) override;

    // Whether the game is one to keep: taspo.cfg lets it be kept and it showed a target.
    bool ToKeep() const { return started_ && wanted_ && !Targets().empty(); }

    // Keeps the game in `folder`, with its replay when there is one. True when kept, or when
    // nothing was to be kept; false, said on stderr and in `problem` when given, when it could
    // not be.
    bool Keep(const std::string& folder, const std::vector<uint8_t>* replay,
              std::string* problem = nullptr) const;

private:
    bool started_ = false;
    bool wanted_ = false;
    int64_t playedAt_ = 0;
};

// --history: the games kept, as `request.view` says, on `out` (the chart in `request.file`); a
// record that cannot be read is named on `err` and left out. Returns the exit code.
int ShowHistory(const std::string& folder, const SessionRequest& request, FILE* out, FILE* err);
