// The history in a browser tab: the history's folder in emscripten's file system, kept in the
// page's IndexedDB (IDBFS) so the games outlive the tab and play offline. The files live in
// memory while the page runs: loading copies the stored ones in, saving copies the changes back
// in one IndexedDB transaction, so a save stores all of them or none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/history/history_store.h"
#include "projects/taspo/shell/history_keeping.h"

class StoredHistory {
public:
    // Mounts the stored folder at `folder` (made first) and loads it.
    explicit StoredHistory(std::string folder);

    // Keeps the game with its replay, as the native game does, and saves it. "" when kept, or
    // when it was not one to keep; else why it was not kept, also said on stderr. A game not kept
    // leaves nothing of it in the folder, and the games kept before as they were.
    std::string Keep(const PlayedGame& game, const std::vector<uint8_t>& replay);

    // The games kept, oldest first; a record that cannot be read is named on stderr and left out.
    std::vector<KeptGame> Games() const;

    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    std::string unreadable_;  // why the stored folder could not be loaded, if it could not
};
