// What the page offers once a game has ended: the session's replay file and the reaction times
// read from it. The page shows neither while the game runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Copies the replay file into Module.taspoReplay (a Uint8Array of its own) and the report into
// Module.taspoReport, before the page hears how the program ended.
void OfferSession(const std::vector<uint8_t>& replay, const std::string& report);
