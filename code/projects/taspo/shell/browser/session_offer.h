// What the page offers once a game has ended: the session's replay file, its reaction times
// target by target and its measures, and the history kept in this browser as a chart, a row a
// game and a CSV file, with a way to clear it. The page shows none of it while the game runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/history/history_store.h"
#include "projects/taspo/history/measures.h"

struct SessionOffer {
    std::vector<uint8_t> replay;
    std::string report;           // one line a target and the summary, as --report prints it
    Measures measures;            // this game's
    std::string notKept;          // why this game was not kept in the history, or ""
    std::vector<KeptGame> games;  // the history, with this game when it was kept, oldest first
};

// Hands the page the offer, before it hears how the program ended:
//   Module.taspoReplay    the replay file, a Uint8Array of its own
//   Module.taspoReport    the report's text
//   Module.taspoGame      this game's measures, as MeasuresJson has them
//   Module.taspoHistory   {notKept, games (HistoryJson), chart and emptyChart (HistorySvg of the
//                         games and of none), csv (HistoryCsv), clear}
// `clear` empties the history's folder and saves that: a promise of why it could not, or "".
void OfferSession(const SessionOffer& offer);
