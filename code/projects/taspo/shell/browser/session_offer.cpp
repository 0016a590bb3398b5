// The page keeps copies, since the wasm heap they come from is gone once the program has ended.
#include "projects/taspo/shell/browser/session_offer.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, TaspoSessionOffered, (const uint8_t* replay, size_t size, const char* report), {
    Module.taspoReplay = HEAPU8.slice(replay, replay + size);
    Module.taspoReport = UTF8ToString(report);
});
// clang-format on

void OfferSession(const std::vector<uint8_t>& replay, const std::string& report) {
    TaspoSessionOffered(replay.data(), replay.size(), report.c_str());
}
