// The measures of reaction tests, for one game or for many, defined here once:
//   targets      the targets shown that ended, hit or missed;
//   hits         the targets hit while they showed;
//   misses       the targets that vanished unhit (the lapses of a vigilance test);
//   false starts the presses while no target showed;
//   median       the middle reaction time of the hits (the mean of the two middle ones for an even
//                count);
//   mean         their sum divided by their count;
//   best         the shortest;
//   spread       their standard deviation: the square root of the mean squared distance from
//                the mean, over the count less one (0 for a single hit).
// The four times are in milliseconds and 0 when there are no hits.
#pragma once

#include <cstdint>
#include <vector>

#include "projects/taspo/history/game_record.h"

struct Measures {
    uint32_t targets = 0;
    uint32_t hits = 0;
    uint32_t misses = 0;
    uint32_t falseStarts = 0;
    double medianMs = 0.0;
    double meanMs = 0.0;
    double bestMs = 0.0;
    double spreadMs = 0.0;
};

// `reactionsMs`: the hits' reaction times, in any order.
Measures Measure(uint32_t misses, uint32_t falseStarts, std::vector<double> reactionsMs);

// The measures of one game, or of every game given.
Measures MeasureRecord(const GameRecord& record);
Measures MeasureRecords(const std::vector<GameRecord>& records);
