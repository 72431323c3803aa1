// Recording a path without the window: which pointer positions become samples, the Shift axis
// lock, the buffer's end, and the points the path is built from.
#include <gtest/gtest.h>

#include "authoring/animation/PathRecording.h"

namespace {

struct Step {
    char what;  // 'd' press, 'm' move, 'u' release
    int x, y;
    uint32_t time;
    bool shift = false;
};

// Feeds the steps; answers where the object was drawn after each.
std::vector<std::pair<int, int>> Feed(PathRecorder* r, std::initializer_list<Step> steps) {
    std::vector<std::pair<int, int>> drawn;
    for (const Step& s : steps) {
        int x = s.x, y = s.y;
        if (s.what == 'd')
            RecorderPress(r, &x, &y, s.shift, s.time);
        else if (s.what == 'm')
            RecorderMove(r, &x, &y, s.shift, s.time);
        else
            RecorderRelease(r, &x, &y, s.shift, s.time);
        drawn.emplace_back(x, y);
    }
    return drawn;
}

}  // namespace

TEST(PathRecording, AClickMakesOnePointAndShortMovesAddNoSample) {
    PathRecorder r;
    ResetPathRecorder(&r);
    Feed(&r, {{'m', 5, 5, 0}, {'d', 50, 60, 10}, {'u', 50, 60, 90}});
    ASSERT_EQ(r.samples.size(), 1u) << "moves before the press record nothing; a click is one sample";
    const std::vector<PathPoint> one = BuildRecordedPath(r.samples);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].x, 50);
    EXPECT_EQ(one[0].y, 60);

    // 5 by 2 (29) is under the square root of 31; 4 by 4 (32) is not.
    ResetPathRecorder(&r);
    Feed(&r, {{'d', 100, 100, 0}, {'m', 105, 102, 40}, {'m', 104, 104, 80}, {'m', 107, 107, 120}});
    ASSERT_EQ(r.samples.size(), 2u);
    EXPECT_EQ(r.samples[1].x, 104);
    EXPECT_EQ(r.samples[0].time, 80u) << "a sample's time runs until the next one";
    ResetPathRecorder(&r);
    EXPECT_TRUE(r.samples.empty());
}

TEST(PathRecording, ShiftLocksTheAxisOfTheLargerMoveEitherWay) {
    for (const int direction : {-1, 1}) {
        SCOPED_TRACE(direction);
        PathRecorder r;
        ResetPathRecorder(&r);
        const auto drawn = Feed(&r, {{'d', 200, 100, 0, true},
                                     {'m', 200 + direction * 10, 108, 50, true},  // not 16 yet: free
                                     {'m', 200 + direction * 16, 110, 100, true},  // 16 across: horizontal
                                     {'m', 200 + direction * 40, 140, 150, true},
                                     {'u', 200 + direction * 60, 170, 200, true}});
        EXPECT_EQ(drawn[1], std::make_pair(200 + direction * 10, 108));
        EXPECT_EQ(drawn[2], std::make_pair(200 + direction * 16, 100));
        EXPECT_EQ(drawn[3], std::make_pair(200 + direction * 40, 100));
        EXPECT_EQ(drawn[4], std::make_pair(200 + direction * 60, 100)) << "the lock holds at the release";
        for (const PathPoint& p : BuildRecordedPath(r.samples)) {
            if (p.x != 200 + direction * 10) {
                EXPECT_EQ(p.y, 100) << p.x;
            }
        }
    }
    // Vertical wins when the pointer went further down; without Shift nothing is held.
    PathRecorder r;
    ResetPathRecorder(&r);
    auto drawn = Feed(&r, {{'d', 50, 50, 0, true}, {'m', 55, 70, 40, true}, {'m', 90, 90, 80, true}});
    EXPECT_EQ(drawn[2], std::make_pair(50, 90));
    drawn = Feed(&r, {{'m', 90, 95, 120, false}});
    EXPECT_EQ(drawn[0], std::make_pair(90, 95));
}

TEST(PathRecording, ADragEndsAtItsReleaseAndQuickSmallStepsOnlyAddTime) {
    PathRecorder r;
    ResetPathRecorder(&r);
    Feed(&r, {{'d', 10, 10, 1000}, {'m', 30, 10, 1050}, {'m', 50, 10, 1100}, {'m', 52, 12, 1110},
              {'m', 70, 10, 1160}, {'u', 90, 10, 1200}});
    ASSERT_EQ(r.samples.size(), 5u) << "(52, 12) is too near; the release adds the last sample";
    const std::vector<PathPoint> points = BuildRecordedPath(r.samples);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[2].time, 60u);
    EXPECT_EQ(points.front().x, 10);
    EXPECT_EQ(points.back().x, 90);
    EXPECT_EQ(points.back().time, 40u);
    // (56, 10) lies 6 by 0 from (50, 10) and lasted 10 ms: merged, its time going to (60, 30).
    ResetPathRecorder(&r);
    Feed(&r, {{'d', 50, 10, 0}, {'m', 56, 10, 10}, {'m', 60, 30, 20}, {'u', 80, 30, 60}});
    const std::vector<PathPoint> merged = BuildRecordedPath(r.samples);
    ASSERT_EQ(r.samples.size(), 4u);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[1].x, 60);
    EXPECT_EQ(merged[1].time, 50u);
    // A quick sample near the last kept one is merged and its time goes to the next point.
    const PathSample quick[] = {{10, 0, 0, 0}, {5, 2, 2, 0}, {40, 50, 0, 0}, {0, 70, 0, 0}};
    const std::vector<PathPoint> built = BuildRecordedPath(quick);
    ASSERT_EQ(built.size(), 2u) << "the last sample, with no time, is not a point";
    EXPECT_EQ(built[1].x, 50);
    EXPECT_EQ(built[1].time, 45u);
}

TEST(PathRecording, SamplesPastTheBufferAreDroppedAndAQuickSecondPressStartsAStroke) {
    PathRecorder r;
    ResetPathRecorder(&r);
    int x = 0, y = 0;
    RecorderPress(&r, &x, &y, false, 0);
    for (uint32_t i = 1; i < kMaxPathSamples + 10; ++i) {
        x = int(i % 2) * 10;
        y = int(i / 2) % 1000;
        RecorderMove(&r, &x, &y, false, i);
    }
    EXPECT_EQ(r.samples.size(), size_t{kMaxPathSamples});
    EXPECT_GT(r.dropped, 0u);
    x = 500, y = 500;
    RecorderRelease(&r, &x, &y, false, kMaxPathSamples + 20);
    EXPECT_EQ(r.samples.size(), size_t{kMaxPathSamples}) << "the release is dropped too; recording ends";
    EXPECT_FALSE(r.recording);

    // A second press right after a release (what arrives as a double click) records again.
    ResetPathRecorder(&r);
    Feed(&r, {{'d', 10, 10, 0}, {'u', 10, 10, 30}, {'d', 80, 80, 60}, {'m', 100, 80, 90}, {'u', 100, 80, 120}});
    ASSERT_EQ(r.samples.size(), 4u);
    EXPECT_EQ(r.samples[1].x, 80);
    EXPECT_EQ(r.samples[0].time, 0u) << "a stroke's last sample keeps its time when the next begins";
    EXPECT_TRUE(IsModifierKey(0x10));
    EXPECT_TRUE(IsModifierKey(0x11));
    EXPECT_FALSE(IsModifierKey(0x20));
    EXPECT_FALSE(IsModifierKey(0));
}
