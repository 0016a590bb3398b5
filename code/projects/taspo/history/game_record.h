// What the history keeps of one game: when it was played, by which version, each target (when it
// showed, hit or missed, the reaction time) and the presses with no target. On disk it is a short
// text, a line a fact, that ends with a line of its own so a torn file is known:
//   taspo game 1
//   played 1765473605
//   version 1.0.0
//   target 1.000 hit 525.000
//   target 2.870 miss
//   falsestart 3.100
//   end
// The reader trusts nothing in it: a record that breaks a rule is refused with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t GameRecordVersion = 1;
constexpr uint32_t GameRecordMaxBytes = 4u << 20;  // a longer record is refused
constexpr uint32_t GameRecordMaxEvents = 100000;   // targets and false starts, each
constexpr double GameRecordMaxSeconds = 1e7;       // times and reaction times are below this

struct KeptTarget {
    double shownSeconds;  // since the game's first frame
    bool hit;
    double reactionMs;  // for a hit
};

struct GameRecord {
    int64_t playedAt = 0;  // when the game started, in seconds since 1970 (UTC)
    std::string version;
    std::vector<KeptTarget> targets;
    std::vector<double> falseStarts;  // seconds since the first frame
};

std::string EncodeGameRecord(const GameRecord& record);

// Reads a record: "" and `record` filled, or the reason it is refused, in a few words.
std::string DecodeGameRecord(const std::string& text, GameRecord* record);
