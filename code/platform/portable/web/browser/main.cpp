// The process entry in a browser tab: run the program's WinMain on our layer over the page's
// canvas, recording the session, then hand the page its replay file and reaction times and tell
// it how the program ended. The frame loop yields to the browser in SwitchToThread, so main runs
// for the whole game (Asyncify).
#include <cstdint>

#include "platform/portable/replay/recording_backend.h"
#include "platform/portable/replay/replay_file.h"
#include "platform/portable/web/browser/session_offer.h"
#include "platform/portable/web/browser/web_backend.h"

int main() {
    // The page packs button.bmp into the working directory, and a tab has no data folder to
    // fall back on, so this is the file the game plays. Without one the game does not start and
    // the hash is never asked for.
    uint64_t buttonHash = 0;
    portable::HashFile("button.bmp", &buttonHash);
    portable::WebBackend page;
    portable::RecordingBackend recorder(&page, buttonHash);
    int status = 0;
    {
        portable::ScopedBackend installed(&recorder);
        static char commandLine[] = "";
        status = WinMain(portable::ModuleInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
    }
    portable::OfferSession(recorder.Finish(), recorder.Report().Text());
    portable::ReportProgramEnd(status);
    return status;
}
