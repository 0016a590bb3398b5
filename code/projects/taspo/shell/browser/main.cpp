// The game's process entry in a browser tab: load the history kept in this browser, run the game
// on our layer over the page's canvas, recording the session, keep the game in the history, then
// hand the page the replay file, the reaction times and the history, and tell it how the program
// ended. The frame loop yields to the browser in SwitchToThread, so main runs for the whole game
// (Asyncify), and so does the history's loading and saving.
#include <cstdint>
#include <vector>

#include "platform/replay/replay_file.h"
#include "platform/web/browser/web_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/shell/browser/session_offer.h"
#include "projects/taspo/shell/browser/stored_history.h"
#include "projects/taspo/shell/history_keeping.h"
#include "projects/taspo/shell/replays/controls.h"
#include "projects/taspo/shell/replays/sessions.h"

int main() {
    // The page packs button.bmp into the working directory, and a tab has no data folder to
    // fall back on, so this is the file the game plays. Without one the game does not start and
    // the hash is never asked for.
    uint64_t buttonHash = 0;
    portable::HashFile(TargetImageFile, &buttonHash);
    StoredHistory history(HistoryFolder());
    portable::WebBackend page(TaspoControls);
    PlayedGame game;
    SessionOffer offer;
    int status = RecordGame(&page, buttonHash, &game, &offer.replay);
    offer.notKept = history.Keep(game, offer.replay);
    offer.report = game.Text();
    offer.measures = game.Measured();
    offer.games = history.Games();
    OfferSession(offer);
    portable::ReportProgramEnd(status);
    return status;
}
