// The games kept on the player's machine: a folder of records, each `<stem>.taspo-game`, with the
// game's replay beside it as `<stem>.taspo-replay` where there is one. The stem is the time the
// game was played (UTC), so names sort as the games were played. A record is written whole or not
// at all: to a temporary file first, renamed into place once complete. At most HistoryMaxGames
// are kept, the oldest removed first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/history/game_record.h"

constexpr size_t HistoryMaxGames = 1000;

// Writes `size` bytes to `path` through a temporary file renamed into place, so the file is whole
// or absent: "" or the reason, the system's words.
std::string WriteFileWhole(const std::string& path, const void* bytes, size_t size);

struct KeptGame {
    std::string stem;  // the file name without its extension
    GameRecord record;
};

class HistoryStore {
public:
    // `folder`: where the records are, ending in a separator; made when the first game is kept.
    explicit HistoryStore(std::string folder) : folder_(std::move(folder)) {}

    // Keeps a game, with its replay when `replay` is not null. "" when kept, or the reason it was
    // not, in a few words; a game not kept leaves nothing behind and the earlier ones as they were.
    std::string Keep(const GameRecord& record, const std::vector<uint8_t>* replay);

    // Every game kept, oldest first. A record that cannot be read is left out, and named with the
    // reason in `problems`, one line each: "FILE: reason".
    std::vector<KeptGame> Load(std::vector<std::string>* problems) const;

    const std::string& Folder() const { return folder_; }

private:
    std::vector<std::string> Stems() const;
    void RemoveOldest() const;

    std::string folder_;
};
