// The game's process entry in a browser tab: run the game on our layer over the page's canvas,
// recording the session, then hand the page its replay file and reaction times and tell it how
// the program ended. The frame loop yields to the browser in SwitchToThread, so main runs for
// the whole game (Asyncify).
#include <cstdint>
#include <vector>

#include "platform/replay/replay_file.h"
#include "platform/web/browser/web_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/shell/browser/session_offer.h"
#include "projects/taspo/shell/replays/controls.h"
#include "projects/taspo/shell/replays/sessions.h"
#include "projects/taspo/shell/session_report.h"

int main() {
    // The page packs button.bmp into the working directory, and a tab has no data folder to
    // fall back on, so this is the file the game plays. Without one the game does not start and
    // the hash is never asked for.
    uint64_t buttonHash = 0;
    portable::HashFile(TargetImageFile, &buttonHash);
    portable::WebBackend page(TaspoControls);
    SessionReport report;
    std::vector<uint8_t> replay;
    int status = RecordGame(&page, buttonHash, &report, &replay);
    OfferSession(replay, report.Text());
    portable::ReportProgramEnd(status);
    return status;
}
