// The history as text, CSV, a chart and JSON.
#include "projects/taspo/history/history_views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "projects/taspo/history/measures.h"

namespace {

std::string Plural(uint32_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Ms(double ms) {
    return std::to_string(std::llround(ms)) + " ms";
}

std::tm TimeParts(int64_t playedAt, bool local) {
    std::time_t time = static_cast<std::time_t>(playedAt);
    std::tm parts{};
#ifdef _WIN32
    local ? localtime_s(&parts, &time) : gmtime_s(&parts, &time);
#else
    local ? localtime_r(&time, &parts) : gmtime_r(&time, &parts);
#endif
    return parts;
}

std::string FormatTime(int64_t playedAt, bool local, const char* format) {
    std::tm parts = TimeParts(playedAt, local);
    char text[40];
    std::strftime(text, sizeof(text), format, &parts);
    return text;
}

std::string Counts(const Measures& measures, const char* between) {
    return Plural(measures.targets, "target", "targets") + between +
           Plural(measures.hits, "hit", "hits") + between +
           Plural(measures.misses, "miss", "misses") + between +
           Plural(measures.falseStarts, "false start", "false starts");
}

std::string Number(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// Every hit's reaction time, game by game.
std::vector<double> Reactions(const GameRecord& record) {
    std::vector<double> reactions;
    for (const KeptTarget& target : record.targets) {
        if (target.hit) {
            reactions.push_back(target.reactionMs);
        }
    }
    return reactions;
}

}  // namespace

std::string HistoryText(const std::vector<KeptGame>& games) {
    if (games.empty()) {
        return "No games kept yet.\n";
    }
    std::string text;
    std::vector<GameRecord> records;
    for (const KeptGame& game : games) {
        Measures measures = MeasureRecord(game.record);
        text += FormatTime(game.record.playedAt, true, "%Y-%m-%d %H:%M") + "  " +
                Counts(measures, "  ");
        text += measures.hits == 0
                    ? "  no hits\n"
                    : "  median " + Ms(measures.medianMs) + "  best " + Ms(measures.bestMs) + "\n";
        records.push_back(game.record);
    }
    Measures all = MeasureRecords(records);
    text += Plural(static_cast<uint32_t>(games.size()), "game", "games") + ": " + Counts(all, ", ");
    if (all.hits == 0) {
        return text + ", no hits\n";
    }
    return text + ", median " + Ms(all.medianMs) + ", mean " + Ms(all.meanMs) + ", best " +
           Ms(all.bestMs) + ", spread " + Ms(all.spreadMs) + "\n";
}

std::string HistoryCsv(const std::vector<KeptGame>& games) {
    std::string csv = "game,played,target,shown_s,outcome,reaction_ms\r\n";
    for (const KeptGame& game : games) {
        std::string start =
            game.stem + "," + FormatTime(game.record.playedAt, false, "%Y-%m-%dT%H:%M:%SZ") + ",";
        uint32_t number = 0;
        for (const KeptTarget& target : game.record.targets) {
            csv += start + std::to_string(++number) + "," + Number("%.3f", target.shownSeconds);
            csv += target.hit ? ",hit," + Number("%.1f", target.reactionMs) + "\r\n" : ",miss,\r\n";
        }
        for (double when : game.record.falseStarts) {
            csv += start + "," + Number("%.3f", when) + ",false start,\r\n";
        }
    }
    return csv;
}

namespace {

// The chart's frame: 800 by 320, a panel each side, times from 0 at the bottom to `topMs`.
constexpr double Width = 800, Height = 320, Top = 40, Bottom = 280;
constexpr double LeftStart = 60, LeftEnd = 390, RightStart = 460, RightEnd = 780;
constexpr double BinMs = 50;

double TimeY(double ms, double topMs) {
    return Bottom - (Bottom - Top) * std::min(ms, topMs) / topMs;
}

// The left panel's axes: times up the side, the games along the bottom.
std::string Axes(double start, double end, double topMs, const std::string& label) {
    std::string svg = "<g class=\"axes\" stroke=\"#555\" fill=\"none\"><path d=\"M" +
                      Number("%.0f", start) + " " + Number("%.0f", Top) + "V" +
                      Number("%.0f", Bottom) + "H" + Number("%.0f", end) + "\"/></g>\n";
    for (int tick = 0; tick <= 4; ++tick) {
        double ms = topMs * tick / 4;
        svg += "<text x=\"" + Number("%.0f", start - 6) + "\" y=\"" +
               Number("%.1f", TimeY(ms, topMs) + 4) + "\" text-anchor=\"end\">" +
               Number("%.0f", ms) + "</text>\n";
    }
    return svg + "<text x=\"" + Number("%.0f", (start + end) / 2) + "\" y=\"" +
           Number("%.0f", Bottom + 30) + "\" text-anchor=\"middle\">" + label + "</text>\n";
}

std::string Medians(const std::vector<KeptGame>& games, double topMs) {
    std::string line;
    std::string dots;
    double step = (LeftEnd - LeftStart) / static_cast<double>(games.size());
    for (size_t i = 0; i < games.size(); ++i) {
        std::string x = Number("%.1f", LeftStart + step * (static_cast<double>(i) + 0.5));
        std::vector<double> reactions = Reactions(games[i].record);
        for (double ms : reactions) {
            dots += "<circle class=\"hit\" cx=\"" + x + "\" cy=\"" +
                    Number("%.1f", TimeY(ms, topMs)) + "\" r=\"2.5\"/>\n";
        }
        if (!reactions.empty()) {
            Measures measures = Measure(0, 0, reactions);
            line += (line.empty() ? "" : " ") + x + "," +
                    Number("%.1f", TimeY(measures.medianMs, topMs));
        }
    }
    return "<g fill=\"#4a7bd0\" fill-opacity=\"0.5\">\n" + dots +
           "</g>\n<polyline class=\"median\" fill=\"none\" stroke=\"#1b3d80\" stroke-width=\"2\" "
           "points=\"" +
           line + "\"/>\n";
}

std::string Histogram(const std::vector<double>& reactions, double topMs) {
    size_t bins = static_cast<size_t>(topMs / BinMs);
    std::vector<uint32_t> counts(bins, 0);
    for (double ms : reactions) {
        counts[std::min(bins - 1, static_cast<size_t>(ms / BinMs))] += 1;
    }
    uint32_t most = std::max<uint32_t>(1, *std::max_element(counts.begin(), counts.end()));
    double width = (RightEnd - RightStart) / static_cast<double>(bins);
    // The axes: how many hits up the side, the times along the bottom.
    std::string svg = "<path stroke=\"#555\" fill=\"none\" d=\"M" + Number("%.0f", RightStart) +
                      " " + Number("%.0f", Top) + "V" + Number("%.0f", Bottom) + "H" +
                      Number("%.0f", RightEnd) + "\"/>\n";
    svg += "<text x=\"" + Number("%.0f", RightStart - 6) + "\" y=\"" + Number("%.0f", Top + 4) +
           "\" text-anchor=\"end\">" + std::to_string(most) + " hits</text>\n";
    for (int tick = 0; tick <= 4; ++tick) {
        double ms = topMs * tick / 4;
        svg += "<text x=\"" + Number("%.1f", RightStart + (RightEnd - RightStart) * ms / topMs) +
               "\" y=\"" + Number("%.0f", Bottom + 16) + "\" text-anchor=\"middle\">" +
               Number("%.0f", ms) + "</text>\n";
    }
    svg += "<g class=\"bars\" fill=\"#4a7bd0\">\n";
    for (size_t i = 0; i < bins; ++i) {
        double bin = static_cast<double>(i);
        double height = (Bottom - Top) * counts[i] / most;
        svg += "<rect class=\"bar\" x=\"" + Number("%.1f", RightStart + width * bin) + "\" y=\"" +
               Number("%.1f", Bottom - height) + "\" width=\"" + Number("%.1f", width - 1) +
               "\" height=\"" + Number("%.1f", height) + "\"><title>" +
               Number("%.0f", BinMs * bin) + " to " + Number("%.0f", BinMs * (bin + 1)) +
               " ms: " + std::to_string(counts[i]) + "</title></rect>\n";
    }
    return svg + "</g>\n";
}

}  // namespace

std::string HistorySvg(const std::vector<KeptGame>& games) {
    std::vector<GameRecord> records;
    std::vector<double> reactions;
    for (const KeptGame& game : games) {
        records.push_back(game.record);
        std::vector<double> more = Reactions(game.record);
        reactions.insert(reactions.end(), more.begin(), more.end());
    }
    Measures all = MeasureRecords(records);
    double slowest = reactions.empty() ? 0 : *std::max_element(reactions.begin(), reactions.end());
    // The scale runs to the slowest hit, in whole 200 ms, at least 600 ms.
    double topMs = std::max(600.0, std::ceil(slowest / 200.0) * 200.0);
    std::string description =
        Plural(static_cast<uint32_t>(games.size()), "game", "games") + ", " + Counts(all, ", ") +
        (all.hits == 0 ? "." : ", median " + Ms(all.medianMs) + ", best " + Ms(all.bestMs) + ".") +
        " Left: each game's median reaction time in the order played, every hit a dot. Right: how "
        "many hits took each 50 ms, from 0 to " +
        Number("%.0f", topMs) + " ms.";
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      Number("%.0f", Width) + " " + Number("%.0f", Height) + "\" width=\"" +
                      Number("%.0f", Width) + "\" height=\"" + Number("%.0f", Height) +
                      "\" role=\"img\" aria-labelledby=\"taspo-chart-title taspo-chart-desc\" "
                      "font-family=\"sans-serif\" font-size=\"12\" fill=\"#222\">\n"
                      "<title id=\"taspo-chart-title\">Your reaction times</title>\n"
                      "<desc id=\"taspo-chart-desc\">" +
                      description +
                      "</desc>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    svg += "<text x=\"" + Number("%.0f", LeftStart) +
           "\" y=\"24\" font-weight=\"bold\">Median per game (ms)</text>\n";
    svg += "<text x=\"" + Number("%.0f", RightStart) +
           "\" y=\"24\" font-weight=\"bold\">All reaction times</text>\n";
    svg += Axes(LeftStart, LeftEnd, topMs, "games, oldest first");
    svg += "<text x=\"" + Number("%.0f", (RightStart + RightEnd) / 2) + "\" y=\"" +
           Number("%.0f", Bottom + 30) + "\" text-anchor=\"middle\">ms</text>\n";
    if (!games.empty()) {
        svg += Medians(games, topMs);
    }
    svg += Histogram(reactions, topMs);
    return svg + "</svg>\n";
}

std::string MeasuresJson(const Measures& measures) {
    return "{\"targets\":" + std::to_string(measures.targets) +
           ",\"hits\":" + std::to_string(measures.hits) +
           ",\"misses\":" + std::to_string(measures.misses) +
           ",\"falseStarts\":" + std::to_string(measures.falseStarts) +
           ",\"medianMs\":" + Number("%.3f", measures.medianMs) +
           ",\"meanMs\":" + Number("%.3f", measures.meanMs) +
           ",\"bestMs\":" + Number("%.3f", measures.bestMs) +
           ",\"spreadMs\":" + Number("%.3f", measures.spreadMs) + "}";
}

std::string HistoryJson(const std::vector<KeptGame>& games) {
    std::string json = "[";
    for (const KeptGame& game : games) {
        json += (json.size() > 1 ? ",{\"played\":" : "{\"played\":") +
                std::to_string(game.record.playedAt) +
                ",\"measures\":" + MeasuresJson(MeasureRecord(game.record)) + "}";
    }
    return json + "]";
}
