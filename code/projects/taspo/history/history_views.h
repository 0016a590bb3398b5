// The kept games shown four ways: a line a game with a summary (taspo --history), a CSV file of
// every target and false start (--history --csv), a chart (--history --svg, and the page), and
// the games' measures as JSON, for the page's table.
#pragma once

#include <string>
#include <vector>

#include "projects/taspo/history/history_store.h"
#include "projects/taspo/history/measures.h"

// One line a game, oldest first: when (local time), targets, hits, misses, false starts, median
// and best; then the summary over all of them. With no games: one line that says so.
std::string HistoryText(const std::vector<KeptGame>& games);

// RFC 4180: a header row, then a row per target and per false start (its outcome "false start",
// with no target number or reaction time), lines ended by CR LF.
std::string HistoryCsv(const std::vector<KeptGame>& games);

// A standalone SVG image with a title and a description: on the left each game's median in the
// order played, with every hit as a dot; on the right a histogram of every reaction time. No
// scripts, and no fonts but the viewer's own.
std::string HistorySvg(const std::vector<KeptGame>& games);

// A JSON object of the measures, the times in milliseconds to three decimals:
//   {"targets":3,"hits":2,"misses":1,"falseStarts":1,"medianMs":200.000,"meanMs":200.000,
//    "bestMs":100.000,"spreadMs":141.421}
std::string MeasuresJson(const Measures& measures);

// A JSON array of the games, oldest first, each when it was played (seconds since 1970, UTC) and
// its measures: [{"played":1765473605,"measures":{...}}, ...].
std::string HistoryJson(const std::vector<KeptGame>& games);
