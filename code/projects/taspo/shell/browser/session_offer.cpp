// The page keeps copies, since the wasm heap they come from is gone once the program has ended.
// The history's clear comes from the stored folder (stored_history.cpp).
#include "projects/taspo/shell/browser/session_offer.h"

#include <emscripten.h>

#include "projects/taspo/history/history_views.h"

// clang-format off
EM_JS(void, TaspoSessionOffered, (const uint8_t* replay, size_t size, const char* report,
                                  const char* measures, const char* notKept, const char* games,
                                  const char* chart, const char* emptyChart, const char* csv), {
    var storage = Module.taspoStorage;
    Module.taspoReplay = HEAPU8.slice(replay, replay + size);
    Module.taspoReport = UTF8ToString(report);
    Module.taspoGame = JSON.parse(UTF8ToString(measures));
    Module.taspoHistory = {
        notKept: UTF8ToString(notKept),
        games: JSON.parse(UTF8ToString(games)),
        chart: UTF8ToString(chart),
        emptyChart: UTF8ToString(emptyChart),
        csv: UTF8ToString(csv),
        clear: storage ? storage.clear : function () {
            return Promise.resolve("there is no history to clear");
        }
    };
});
// clang-format on

void OfferSession(const SessionOffer& offer) {
    TaspoSessionOffered(offer.replay.data(), offer.replay.size(), offer.report.c_str(),
                        MeasuresJson(offer.measures).c_str(), offer.notKept.c_str(),
                        HistoryJson(offer.games).c_str(), HistorySvg(offer.games).c_str(),
                        HistorySvg({}).c_str(), HistoryCsv(offer.games).c_str());
}
