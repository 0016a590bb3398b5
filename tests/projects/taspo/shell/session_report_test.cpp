// The reaction times from the game's events: each target with its time and outcome, the presses
// with nothing to hit counted apart, and a target still showing at the end left out.
#include "projects/taspo/shell/session_report.h"

#include <gtest/gtest.h>

namespace {

TEST(SessionReport, ListsEachTargetThenHitsMissesMedianAndBest) {
    SessionReport report;
    EXPECT_EQ(report.Text(), "0 targets: 0 hits, 0 misses, no reaction times\n");
    report.Started(500, 1000);
    report.FalseStart(700);
    report.Hit(800, 300);  // with no target open it counts for nothing
    report.TargetShown(1500);
    report.Hit(1800, 300);
    report.TargetShown(3500);
    report.Missed(4500);
    report.TargetShown(5500);
    report.Hit(5700, 200);
    report.TargetShown(6000);
    report.Hit(6251, 251);
    report.FalseStart(6400);
    report.TargetShown(7000);  // still showing when the session ends
    EXPECT_EQ(report.Text(),
              "target 1: shown at 1.00 s, hit, 300 ms\n"
              "target 2: shown at 3.00 s, miss\n"
              "target 3: shown at 5.00 s, hit, 200 ms\n"
              "target 4: shown at 5.50 s, hit, 251 ms\n"
              "4 targets: 3 hits, 1 miss, median 251 ms, best 200 ms\n");
    ASSERT_EQ(report.Targets().size(), 5u);
    EXPECT_DOUBLE_EQ(report.Targets()[0].reactionMs, 300.0);
    EXPECT_FALSE(report.Targets()[4].hit);
    EXPECT_EQ(report.FalseStarts(), (std::vector<double>{0.2, 5.9}));
    EXPECT_EQ(report.Record().targets.size(), 4u) << "the target still showing has no result";
}

}  // namespace
