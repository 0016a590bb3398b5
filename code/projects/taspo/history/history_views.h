// The kept games shown three ways: a line a game with a summary (taspo --history), a CSV file of
// every target and false start (--history --csv), and a chart (--history --svg, and the page).
#pragma once

#include <string>
#include <vector>

#include "projects/taspo/history/history_store.h"

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
