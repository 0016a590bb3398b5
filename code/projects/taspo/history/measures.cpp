// The measures from the counts and the reaction times.
#include "projects/taspo/history/measures.h"

#include <algorithm>
#include <cmath>
#include <utility>

Measures Measure(uint32_t misses, uint32_t falseStarts, std::vector<double> reactionsMs) {
    Measures measures;
    measures.hits = static_cast<uint32_t>(reactionsMs.size());
    measures.misses = misses;
    measures.targets = measures.hits + misses;
    measures.falseStarts = falseStarts;
    size_t count = reactionsMs.size();
    if (count == 0) {
        return measures;
    }
    std::sort(reactionsMs.begin(), reactionsMs.end());
    measures.bestMs = reactionsMs.front();
    measures.medianMs = count % 2 == 1
                            ? reactionsMs[count / 2]
                            : (reactionsMs[count / 2 - 1] + reactionsMs[count / 2]) / 2.0;
    double sum = 0.0;
    for (double ms : reactionsMs) {
        sum += ms;
    }
    measures.meanMs = sum / static_cast<double>(count);
    if (count > 1) {
        double squares = 0.0;
        for (double ms : reactionsMs) {
            squares += (ms - measures.meanMs) * (ms - measures.meanMs);
        }
        measures.spreadMs = std::sqrt(squares / static_cast<double>(count - 1));
    }
    return measures;
}

Measures MeasureRecords(const std::vector<GameRecord>& records) {
    uint32_t misses = 0;
    uint32_t falseStarts = 0;
    std::vector<double> reactions;
    for (const GameRecord& record : records) {
        for (const KeptTarget& target : record.targets) {
            if (target.hit) {
                reactions.push_back(target.reactionMs);
            } else {
                ++misses;
            }
        }
        falseStarts += static_cast<uint32_t>(record.falseStarts.size());
    }
    return Measure(misses, falseStarts, std::move(reactions));
}

Measures MeasureRecord(const GameRecord& record) {
    return MeasureRecords(std::vector<GameRecord>{record});
}
