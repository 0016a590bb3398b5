// The measures, table by table: counts, and median, mean, best and spread of the hits alone.
#include "projects/taspo/history/measures.h"

#include <gtest/gtest.h>

namespace {

TEST(Measures, FromTheCountsAndTheHitsReactionTimes) {
    struct Case {
        const char* what;
        uint32_t misses, falseStarts;
        std::vector<double> reactions;
        Measures expected;
    };
    const Case cases[] = {
        {"nothing", 0, 0, {}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"misses and false starts only", 2, 3, {}, {2, 0, 2, 3, 0, 0, 0, 0}},
        {"one hit: no spread", 0, 0, {250}, {1, 1, 0, 0, 250, 250, 250, 0}},
        {"odd count: the middle one", 1, 0, {300, 100, 200}, {4, 3, 1, 0, 200, 200, 100, 100}},
        {"even count: the middle two's mean",
         0,
         1,
         {400, 100, 300, 200},
         {4, 4, 0, 1, 250, 250, 100, 129.09944487358055}},
        {"spread over the count less one",
         0,
         0,
         {200, 400},
         {2, 2, 0, 0, 300, 300, 200, 141.42135623730951}},
    };
    for (const Case& c : cases) {
        Measures m = Measure(c.misses, c.falseStarts, c.reactions);
        EXPECT_EQ(m.targets, c.expected.targets) << c.what;
        EXPECT_EQ(m.hits, c.expected.hits) << c.what;
        EXPECT_EQ(m.misses, c.expected.misses) << c.what;
        EXPECT_EQ(m.falseStarts, c.expected.falseStarts) << c.what;
        EXPECT_DOUBLE_EQ(m.medianMs, c.expected.medianMs) << c.what;
        EXPECT_DOUBLE_EQ(m.meanMs, c.expected.meanMs) << c.what;
        EXPECT_DOUBLE_EQ(m.bestMs, c.expected.bestMs) << c.what;
        EXPECT_DOUBLE_EQ(m.spreadMs, c.expected.spreadMs) << c.what;
    }
}

TEST(Measures, OverGamesPoolTheirTargets) {
    GameRecord first, second;
    first.targets = {{1.0, true, 300}, {3.0, false, 0}};
    first.falseStarts = {2.0};
    second.targets = {{1.0, true, 100}, {2.5, true, 200}};
    Measures all = MeasureRecords({first, second});
    EXPECT_EQ(all.targets, 4u);
    EXPECT_EQ(all.misses, 1u);
    EXPECT_EQ(all.falseStarts, 1u);
    EXPECT_DOUBLE_EQ(all.medianMs, 200);
    EXPECT_DOUBLE_EQ(MeasureRecord(first).medianMs, 300);
}

}  // namespace
