// Keeping the games and showing them.
#include "projects/taspo/shell/history_keeping.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "config/variable_registry.h"
#include "platform/file_places.h"
#include "projects/taspo/app.h"
#include "projects/taspo/history/history_views.h"

#ifndef TASPO_VERSION
#error "the build defines TASPO_VERSION, the project's version"
#endif

std::string HistoryFolder() {
    char folder[FilePathBytes];
    if (!GetUserDataDirectory(folder, sizeof(folder))) {
        return "";
    }
#ifdef _WIN32
    return std::string(folder) + "history\\";
#else
    return std::string(folder) + "history/";
#endif
}

// The settings are read while the game runs, from the registry its start-up filled.
void PlayedGame::Started(int64_t counter, int64_t ticksPerSecond) {
    SessionReport::Started(counter, ticksPerSecond);
    static ConfigKey keep = {KeepHistorySetting, 0, false};
    started_ = true;
    wanted_ = ReadBool(&keep, true);
    playedAt_ = static_cast<int64_t>(std::time(nullptr));
}

bool PlayedGame::Keep(const std::string& folder, const std::vector<uint8_t>* replay,
                      std::string* problem) const {
    if (!ToKeep()) {
        return true;
    }
    std::string reason = "the system names no folder for it";
    if (!folder.empty()) {
        GameRecord record = Record();
        record.playedAt = playedAt_;
        record.version = TASPO_VERSION;
        reason = HistoryStore(folder).Keep(record, replay);
    }
    if (reason.empty()) {
        return true;
    }
    std::fprintf(stderr, "taspo: this game was not kept in the history: %s\n", reason.c_str());
    if (problem != nullptr) {
        *problem = reason;
    }
    return false;
}

namespace {

// Writes the chart whole: 0, or 1 with the reason on `err`.
int WriteChart(const char* path, const std::string& svg, FILE* err) {
    std::string problem = WriteFileWhole(path, svg.data(), svg.size());
    if (!problem.empty()) {
        std::fprintf(err, "taspo: %s: cannot write (%s)\n", path, problem.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int ShowHistory(const std::string& folder, const SessionRequest& request, FILE* out, FILE* err) {
    std::vector<std::string> problems;
    std::vector<KeptGame> games;
    if (!folder.empty()) {
        games = HistoryStore(folder).Load(&problems);
    }
    for (const std::string& problem : problems) {
        std::fprintf(err, "taspo: %s (left out)\n", problem.c_str());
    }
    if (games.empty()) {
        std::fprintf(out, "No games kept yet%s%s.\n", folder.empty() ? "" : " in ", folder.c_str());
    } else if (request.view == HistoryView::Svg) {
        return WriteChart(request.file, HistorySvg(games), err);
    } else {
        std::string text =
            request.view == HistoryView::Csv ? HistoryCsv(games) : HistoryText(games);
        std::fwrite(text.data(), 1, text.size(), out);
    }
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out) != 0) {
        std::fprintf(err, "taspo: cannot write the history to standard output (%s)\n",
                     std::strerror(errno != 0 ? errno : EIO));
        return 1;
    }
    return 0;
}
