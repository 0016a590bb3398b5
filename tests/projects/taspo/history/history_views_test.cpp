// The history as text, CSV and a chart.
#include "projects/taspo/history/history_views.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

std::vector<KeptGame> TwoGames() {
    GameRecord first;
    first.playedAt = 1765473605;
    first.version = "1.0.0";
    first.targets = {{1.0, true, 300.4}, {2.5, false, 0}, {4.0, true, 100}};
    first.falseStarts = {3.25};
    GameRecord second = first;
    second.playedAt = 1765560005;
    second.targets = {{1.0, true, 250}};
    second.falseStarts = {};
    return {{"20251211T172005Z", first}, {"20251212T172005Z", second}};
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(HistoryViews, TextIsALineAGameThenTheSummary) {
    std::string text = HistoryText(TwoGames());
    std::regex expected(
        "[0-9-]{10} [0-9:]{5}  3 targets  2 hits  1 miss  1 false start  median 200 ms  best "
        "100 ms\n"
        "[0-9-]{10} [0-9:]{5}  1 target  1 hit  0 misses  0 false starts  median 250 ms  best "
        "250 ms\n"
        "2 games: 4 targets, 3 hits, 1 miss, 1 false start, median 250 ms, mean 217 ms, best "
        "100 ms, spread 104 ms\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
    EXPECT_EQ(HistoryText({}), "No games kept yet.\n");
}

TEST(HistoryViews, CsvHasARowPerTargetAndPerFalseStart) {
    EXPECT_EQ(HistoryCsv(TwoGames()),
              "game,played,target,shown_s,outcome,reaction_ms\r\n"
              "20251211T172005Z,2025-12-11T17:20:05Z,1,1.000,hit,300.4\r\n"
              "20251211T172005Z,2025-12-11T17:20:05Z,2,2.500,miss,\r\n"
              "20251211T172005Z,2025-12-11T17:20:05Z,3,4.000,hit,100.0\r\n"
              "20251211T172005Z,2025-12-11T17:20:05Z,,3.250,false start,\r\n"
              "20251212T172005Z,2025-12-12T17:20:05Z,1,1.000,hit,250.0\r\n");
}

TEST(HistoryViews, TheChartHasATitleADescriptionADotPerHitAndABarPerFiftyMs) {
    std::string svg = HistorySvg(TwoGames());
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_NE(svg.find("<title id=\"taspo-chart-title\">Your reaction times</title>"),
              std::string::npos);
    EXPECT_NE(svg.find("<desc id=\"taspo-chart-desc\">2 games, 4 targets, 3 hits, 1 miss, 1 "
                       "false start, median 250 ms, best 100 ms."),
              std::string::npos);
    EXPECT_EQ(Count(svg, "<circle class=\"hit\""), 3u);
    EXPECT_EQ(Count(svg, "<rect class=\"bar\""), 12u) << "0 to 600 ms in 50 ms";
    EXPECT_EQ(Count(svg, "<script"), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    // A slower hit stretches the scale to the next whole 200 ms.
    std::vector<KeptGame> slow = TwoGames();
    slow[1].record.targets[0].reactionMs = 1201;
    EXPECT_EQ(Count(HistorySvg(slow), "<rect class=\"bar\""), 28u);
}

TEST(HistoryViews, JsonGivesEachGamesTimeAndMeasuresOldestFirst) {
    EXPECT_EQ(HistoryJson(TwoGames()),
              "[{\"played\":1765473605,\"measures\":{\"targets\":3,\"hits\":2,\"misses\":1,"
              "\"falseStarts\":1,\"medianMs\":200.200,\"meanMs\":200.200,\"bestMs\":100.000,"
              "\"spreadMs\":141.704}},"
              "{\"played\":1765560005,\"measures\":{\"targets\":1,\"hits\":1,\"misses\":0,"
              "\"falseStarts\":0,\"medianMs\":250.000,\"meanMs\":250.000,\"bestMs\":250.000,"
              "\"spreadMs\":0.000}}]");
    EXPECT_EQ(HistoryJson({}), "[]");
}

}  // namespace
