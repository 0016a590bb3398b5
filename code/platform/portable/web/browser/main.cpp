// The process entry in a browser tab: run the program's WinMain on our layer over the page's
// canvas, then tell the page how it ended. The frame loop yields to the browser in
// SwitchToThread, so main runs for the whole game (Asyncify).
#include "platform/portable/web/browser/web_backend.h"

int main() {
    portable::WebBackend backend;
    int status = 0;
    {
        portable::ScopedBackend installed(&backend);
        static char commandLine[] = "";
        status = WinMain(portable::ModuleInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
    }
    portable::ReportProgramEnd(status);
    return status;
}
