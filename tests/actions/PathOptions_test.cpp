// The path options read from and written to a sprite header: speeds, intervals, ends, turns.
#include <gtest/gtest.h>

#include "actions/PathOptionsState.h"
#include "media/animation/AnimRecord.h"
#include "format/StackFile.h"

namespace {

class PathOptions : public ::testing::Test {
protected:
    void SetUp() override { InitMemRefs(); }
};

// A new header with a path of count points, each recorded 250 ms after the one before.
Handle SpriteWithPath(uint32_t count) {
    Handle sprite = 0, path = 0;
    EXPECT_EQ(NewSpriteHeader(&sprite), 0);
    EXPECT_EQ(NewPathRecord(&path, 0, {}, {}), 0);
    for (uint32_t i = 0; i < count; ++i) {
        PathPoint p;
        p.x = static_cast<int16_t>(10 * i);
        p.y = 5;
        p.time = 250;
        EXPECT_EQ(InsertPathPointAfter(path, static_cast<int32_t>(i) - 1, p), 0);
    }
    SetSpritePath(sprite, path);
    return sprite;
}

struct SpriteGuard {
    Handle h;
    ~SpriteGuard() {
        if (Handle film = DisposeSpriteKeepFilm(h))
            AnimDisposeHandle(film);
    }
};

}  // namespace

TEST_F(PathOptions, RecordedSpeedAndLayerRoundTrip) {
    SpriteGuard g{SpriteWithPath(10)};
    PathOptionsState s = ReadPathOptions(g.h, kEndStop);
    EXPECT_EQ(s.move, kMoveRecordedSpeed);  // a new path plays at its recorded times
    EXPECT_EQ(s.speed, kSpeedFull);
    EXPECT_EQ(s.seconds, 2u);  // 10 x 250 ms
    s.speed = kSpeedQuarter;
    s.layer = kLayerChoiceTop;
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteLong(g.h, kSpritePathScale), 400u);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathSource), 1);
    EXPECT_EQ(GetSpriteWord(g.h, kSpriteLayer), 1);
    const PathOptionsState back = ReadPathOptions(g.h, kEndStop);
    EXPECT_EQ(back.speed, kSpeedQuarter);
    EXPECT_EQ(back.layer, kLayerChoiceTop);
    for (auto [scale, speed] : {std::pair{200u, kSpeedHalf}, {50u, kSpeedDouble}, {33u, kSpeedTriple}, {77u, kSpeedFull}}) {
        SetSpriteLong(g.h, kSpritePathScale, scale);
        EXPECT_EQ(ReadPathOptions(g.h, kEndStop).speed, speed) << scale;
    }
}

TEST_F(PathOptions, IntervalsFromTimesPerSecondAndEndToEnd) {
    SpriteGuard g{SpriteWithPath(10)};
    PathOptionsState s = ReadPathOptions(g.h, kEndStop);
    s.move = kMoveTimesPerSecond;
    s.timesPerSecond = 0;  // taken as once a second
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathSource), 0);
    EXPECT_EQ(GetSpriteLong(g.h, kSpritePathInterval), 1000u);
    s.timesPerSecond = 12;
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteLong(g.h, kSpritePathInterval), 83u);
    EXPECT_EQ(ReadPathOptions(g.h, kEndStop).timesPerSecond, 12u);

    // Saving again and again keeps the seconds: no second is added on each OK.
    s.move = kMoveEndToEnd;
    s.seconds = 3;
    for (int i = 0; i < 3; ++i) {
        WritePathOptions(g.h, s);
        EXPECT_EQ(GetSpriteWord(g.h, kSpritePathSource), 2);
        EXPECT_EQ(GetSpriteLong(g.h, kSpritePathInterval), 300u);
        s = ReadPathOptions(g.h, kEndStop);
        EXPECT_EQ(s.move, kMoveEndToEnd);
        EXPECT_EQ(s.seconds, 3u);
    }
    // Seconds that do not divide among the points come back whole: 3 over 17 points.
    SpriteGuard odd{SpriteWithPath(17)};
    PathOptionsState o = ReadPathOptions(odd.h, kEndStop);
    o.move = kMoveEndToEnd;
    o.seconds = 3;
    WritePathOptions(odd.h, o);
    EXPECT_EQ(GetSpriteLong(odd.h, kSpritePathInterval), 176u);
    EXPECT_EQ(ReadPathOptions(odd.h, kEndStop).seconds, 3u);
}

TEST_F(PathOptions, PathWithoutDirectionGoesForward) {
    SpriteGuard g{SpriteWithPath(1)};
    ASSERT_EQ(GetSpriteWord(g.h, kSpritePathStep), 0);
    PathOptionsState s = ReadPathOptions(g.h, kEndStop);
    EXPECT_TRUE(s.pathless);
    EXPECT_FALSE(s.startHereEnabled);
    EXPECT_EQ(s.begin, kEndBegin);
    EXPECT_EQ(s.end, kEndStop);
    EXPECT_EQ(s.seconds, 1u);  // never below one
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathStep), 1);
    EXPECT_EQ(static_cast<int32_t>(GetSpriteLong(g.h, kSpritePathIncrement)), 1);
    EXPECT_EQ(GetSpriteLong(g.h, kSpriteStartPoint), 0u);
}

TEST_F(PathOptions, EndsCycleAndStartHereMovesThem) {
    SpriteGuard g{SpriteWithPath(6)};
    PathOptionsState s = ReadPathOptions(g.h, kEndStop);
    EXPECT_EQ(s.begin, kEndBegin);
    EXPECT_EQ(s.end, kEndStop);
    EXPECT_FALSE(ClickPathEnd(&s, false));  // the start shows Begin and does nothing
    ASSERT_TRUE(ClickPathEnd(&s, true));
    EXPECT_EQ(s.end, kEndReverse);
    EXPECT_TRUE(ReturningEnabled(s));
    EXPECT_TRUE(EndTogglesEnabled(s));
    EXPECT_FALSE(BeginTogglesEnabled(s));
    s.flipEndH = true;
    s.floatReturning = false;
    s.dontEraseReturning = true;
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathStep), 3);
    EXPECT_EQ(GetSpriteByte(g.h, kSpriteMirrorAtEnd), 1);
    EXPECT_EQ(GetSpriteByte(g.h, kSpriteMirrorAtStart), 0);
    EXPECT_EQ(GetSpriteWord(g.h, kSpriteAnglesElsewhere), 180);
    EXPECT_EQ(GetSpriteByte(g.h, kSpriteFloatReturning), 0);
    EXPECT_EQ(GetSpriteByte(g.h, kSpriteDontEraseReturning), 1);
    s = ReadPathOptions(g.h, kEndStop);
    EXPECT_EQ(s.end, kEndReverse);
    EXPECT_TRUE(s.flipEndH);

    ClickPathEnd(&s, true);  // Loop
    EXPECT_FALSE(ReturningEnabled(s));
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathStep), 4);
    EXPECT_EQ(ReadPathOptions(g.h, kEndStop).end, kEndLoop);
    ClickPathEnd(&s, true);  // Stop again
    EXPECT_EQ(s.end, kEndStop);

    // Starting at the last point: backward, and read back the same way.
    SetPathStartHere(&s, true);
    EXPECT_EQ(s.begin, kEndStop);
    EXPECT_EQ(s.end, kEndBegin);
    EXPECT_TRUE(s.flipBeginH);  // the mirror flags went with the active end
    WritePathOptions(g.h, s);
    EXPECT_EQ(GetSpriteLong(g.h, kSpriteStartPoint), 5u);
    EXPECT_EQ(static_cast<int32_t>(GetSpriteLong(g.h, kSpritePathIncrement)), -1);
    EXPECT_EQ(GetSpriteWord(g.h, kSpritePathStep), 2);
    EXPECT_EQ(GetSpriteWord(g.h, kSpriteAnglesAtEnd), 180);
    s = ReadPathOptions(g.h, kEndStop);
    EXPECT_TRUE(s.startHere);
    EXPECT_EQ(s.begin, kEndStop);
    EXPECT_EQ(s.end, kEndBegin);
}
