// The animation engine in the plug-in hosted in this program: which objects the wait counts,
// clones, the path steps and their turns, layers, the world's end, drawing over the card and
// the objects' timers, which must be stopped before an object is freed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/events/OneShotTimers.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "media/animation/AnimPlayback.h"
#include "format/StackFile.h"
#include "tests/media/animation/AnimPage_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;

// A strip of two 10 by 10 frames: frame 0 red, frame 1 white with a blue right half.
constexpr uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF, kBlue = 0x0000FF;

struct Settings {
    std::vector<sb::SpritePoint> path = {{30, 30, 1000}, {60, 30, 1000}, {90, 30, 1000}};
    std::vector<sb::Word> words;
    std::vector<sb::Long> longs;
};

Bytes Record(const Settings& settings) {
    sb::Sprite s;
    sb::Picture strip = sb::SolidPicture(20, 10, 32, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            strip.pixels[size_t(y) * 20 + x] = x < 10 ? kRed : x < 15 ? kWhite : kBlue;
    s.film.strip = strip;
    s.film.frames = {{0, 0, 10, 10}, {10, 0, 20, 10}};
    s.path = settings.path;
    // A point at every step and frames held, unless the settings say otherwise.
    s.words = {{kSpritePathTiming, 1}, {kSpriteFrameTiming, 0}};
    s.words.insert(s.words.end(), settings.words.begin(), settings.words.end());
    s.longs = settings.longs;
    return sb::SpriteRecord(s);
}

int Play(const Bytes& record, uint16_t id) { return PlayAnimRecord(NewHandleFromBytes(record), id); }

AnimSprite* Find(uint16_t id) {
    AnimSprite* s = nullptr;
    FindSpriteByIdentity(GetAnimWorld(), {kSprt, id}, &s);
    return s;
}

bool Reddish(COLORREF c) { return GetRValue(c) > GetGValue(c) + 60 && GetRValue(c) > GetBValue(c) + 60; }
bool Bluish(COLORREF c) { return GetBValue(c) > GetRValue(c) + 60 && GetBValue(c) > GetGValue(c) + 60; }
bool Greyish(COLORREF c) { return std::abs(GetRValue(c) - GetBValue(c)) < 40 && std::abs(GetGValue(c) - GetBValue(c)) < 40; }

// The timer messages that arrive within the time, the other messages handled meanwhile.
int FiredMessagesWithin(DWORD milliseconds) {
    int fired = 0;
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageA(&m, nullptr, kTimerFiredMessage, kTimerFiredMessage, PM_REMOVE))
            ++fired;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == kTimerFiredMessage)
                ++fired;
            else
                DispatchMessageA(&m);
        }
        Sleep(5);
    }
    return fired;
}

// The plug-in on a stack of one light grey card.
class AnimEngineTest : public AnimPageTest {
protected:
    void SetUp() override { ASSERT_TRUE(OpenCards({{190, 190, 190}})); }
};

}  // namespace

TEST_F(AnimEngineTest, OnlyObjectsWithAnEndAreWaitedForAndAPlayingObjectIsNotStartedTwice) {
    const Bytes nonStop = Record({});
    ASSERT_EQ(Play(nonStop, 5), 1);
    EXPECT_TRUE(AnimWorldExists());
    EXPECT_FALSE(IsSpriteRunning(5)) << "end condition 0 plays on without being waited for";
    EXPECT_TRUE(AnimatedObjectsDoneFor(0));

    const auto objects = [] {
        size_t n = 0;
        for (const AnimLayerView& layer : DescribeAnimLayers())
            n += layer.ids.size();
        return n;
    };
    Play(nonStop, 5);
    EXPECT_EQ(objects(), 1u) << "the second start is ignored";
    Settings clones;
    clones.words = {{kSpriteAllowClones, 0x0100}};  // the byte at 124
    ASSERT_EQ(Play(Record(clones), 5), 1);
    Play(Record(clones), 5);
    EXPECT_EQ(objects(), 3u) << "clones are allowed by the record";

    Settings repeats;
    repeats.words = {{kSpriteEndCondition, 5}};
    ASSERT_EQ(Play(Record(repeats), 6), 1);
    EXPECT_TRUE(IsSpriteRunning(6));
    EXPECT_FALSE(AnimatedObjectsDoneFor(6));
    EXPECT_FALSE(AnimatedObjectsDoneFor(0));
    EXPECT_TRUE(AnimatedObjectsDoneFor(5));
}

TEST_F(AnimEngineTest, PathStepsTurnCountRepeatsAndTheLastEndDisposesOfTheWorld) {
    const auto pointsUntilGone = [](uint16_t id) {
        std::vector<uint32_t> seen;
        for (int step = 0; step < 20 && AnimWorldExists(); ++step) {
            StepAnimations();
            if (AnimSprite* s = Find(id))
                seen.push_back(GetSpritePointIndex(s));
        }
        return seen;
    };
    // Back and forth, one repeat: out to the end and back to the start once.
    Settings trip;
    trip.words = {{kSpritePathStep, 3}, {kSpriteEndCondition, 5}};
    ASSERT_EQ(Play(Record(trip), 1), 1);
    EXPECT_TRUE(IsSpriteRunning(1));
    EXPECT_EQ(pointsUntilGone(1), (std::vector<uint32_t>{1, 2, 2, 1})) << "the step back to 0 ends it";
    EXPECT_FALSE(AnimWorldExists()) << "the step that ended the last object disposed of the world";
    EXPECT_FALSE(IsSpriteRunning(1));

    // Backward from the last point, two repeats: reaching the first point counts as the start.
    Settings backward;
    backward.words = {{kSpritePathStep, 2}, {kSpriteEndCondition, 5}};
    backward.longs = {{kSpritePathIncrement, uint32_t(-1)}, {kSpriteStartPoint, 2}, {kSpritePathRepeats, 2}};
    ASSERT_EQ(Play(Record(backward), 2), 1);
    EXPECT_EQ(GetSpriteCurrentBounds(Find(2)).left, 85);
    EXPECT_EQ(pointsUntilGone(2), (std::vector<uint32_t>{1, 2, 1})) << "0 is passed, never shown";
    EXPECT_FALSE(AnimWorldExists());

    // A point at (0, 0) leaves the object where it is.
    Settings still;
    still.path = {{30, 30, 1000}, {0, 0, 1000}, {90, 50, 1000}};
    ASSERT_EQ(Play(Record(still), 3), 1);
    AnimSprite* s = Find(3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(GetSpriteCurrentBounds(s).left, 25) << "the anchor (-5, -5) on the point";
    StepAnimations();
    EXPECT_EQ(GetSpritePointIndex(s), 1u);
    EXPECT_EQ(GetSpriteCurrentBounds(s).left, 25);
    EXPECT_EQ(GetSpriteCurrentBounds(s).top, 25);
    StepAnimations();
    EXPECT_EQ(GetSpriteCurrentBounds(s).left, 85);
    EXPECT_EQ(GetSpriteCurrentBounds(s).top, 45);
}

TEST_F(AnimEngineTest, LayersFollowTheObjectsLayerFields) {
    const auto withLayer = [](uint16_t layer, uint16_t number) {
        Settings s;
        s.words = {{kSpriteLayer, layer}, {kSpriteLayerNumber, number}};
        return Record(s);
    };
    ASSERT_EQ(Play(withLayer(0, 0), 1), 1);  // the first layer
    ASSERT_EQ(Play(withLayer(2, 0), 2), 1);  // below all
    ASSERT_EQ(Play(withLayer(3, 7), 3), 1);  // a new layer 7 at the top
    ASSERT_EQ(Play(withLayer(0, 0), 4), 1);  // any: the second from the bottom
    ASSERT_EQ(Play(withLayer(3, 7), 5), 1);  // joins layer 7
    ASSERT_EQ(Play(withLayer(9, 0), 6), 1);  // above 6: the bottom layer
    ASSERT_EQ(Play(withLayer(1, 0), 7), 1);  // top: the end of the top layer
    ASSERT_EQ(Play(withLayer(2, 0), 8), 1);
    const std::vector<AnimLayerView> layers = DescribeAnimLayers();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0].ids, std::vector<uint32_t>{8});
    EXPECT_EQ(layers[1].ids, (std::vector<uint32_t>{2, 6}));
    EXPECT_EQ(layers[2].ids, (std::vector<uint32_t>{1, 4}));
    EXPECT_EQ(layers[3].number, 7);
    EXPECT_EQ(layers[3].ids, (std::vector<uint32_t>{3, 5, 7}));

    // Removing objects drops the layers they leave empty.
    RemoveSprite(GetAnimWorld(), Find(8));
    EXPECT_EQ(DescribeAnimLayers().size(), 3u);
    DisposeAnimWorld();
    EXPECT_FALSE(AnimWorldExists());
    EXPECT_TRUE(DescribeAnimLayers().empty());
}

TEST_F(AnimEngineTest, ObjectsAreDrawnWhereTheyAreAndTheirPartsRedrawnFromTheirOwnFrame) {
    // A still object showing frame 1 (white, blue right half) and a moving one passing over it.
    Settings held;
    held.path = {{50, 50, 1000}};
    held.longs = {{kSpriteStartFrame, 1}};
    ASSERT_EQ(Play(Record(held), 1), 1);
    Settings mover;
    mover.path = {{150, 100, 1000}, {48, 50, 1000}, {150, 100, 1000}};
    mover.words = {{kSpriteLayer, 1}};
    ASSERT_EQ(Play(Record(mover), 2), 1);
    StepAnimations();  // the mover to (48, 50): its red covers most of the still one
    EXPECT_TRUE(Reddish(WindowPixel(window_, 47, 50)));
    EXPECT_TRUE(Greyish(WindowPixel(window_, 150, 100))) << "the card where the mover was";
    StepAnimations();  // away again: the still one shows its own frame where it was covered
    EXPECT_TRUE(Bluish(WindowPixel(window_, 53, 50)));
    EXPECT_FALSE(Reddish(WindowPixel(window_, 47, 50)));
    EXPECT_TRUE(Reddish(WindowPixel(window_, 150, 100)));
}

TEST_F(AnimEngineTest, TheFirstFrameIsDrawnWithTheCardOnlyWhenTheRecordAsksForIt) {
    Settings first;
    first.path = {{20, 20, 1000}, {30, 30, 1000}};
    const auto drawn = [](const Bytes& record, int x, int y) {
        PixMap map;
        EXPECT_EQ(NewPixMap(&map, {0, 0, 40, 40}, 32, true), 0);
        BeginPixMapDraw(&map);
        PatBlt(map.dc, 0, 0, 40, 40, WHITENESS);
        EXPECT_EQ(DrawSpriteFirstFrame(record, &map), 0);
        const COLORREF c = GetPixel(map.dc, x, y);
        DisposePixMap(&map);
        return c;
    };
    const int handles = MemRefsCount();
    EXPECT_EQ(drawn(Record(first), 20, 20) & 0xFFFFFF, 0xFFFFFFu) << "show first frame is off";
    first.words = {{kSpriteShowFirstFrame, 0x0100}};
    EXPECT_TRUE(Reddish(drawn(Record(first), 20, 20)));
    EXPECT_EQ(drawn(Record(first), 26, 26) & 0xFFFFFF, 0xFFFFFFu) << "the start frame at the start point only";
    EXPECT_EQ(MemRefsCount(), handles);
    EXPECT_FALSE(AnimWorldExists());
}

TEST_F(AnimEngineTest, AnObjectsTimersStopBeforeItIsFreedInBothTimerModes) {
    Settings timed;
    timed.words = {{kSpritePathTiming, 2}, {kSpritePathSource, 0}, {kSpriteFrameTiming, 2}, {kSpriteEndCondition, 2}};
    timed.longs = {{kSpritePathInterval, 20}, {kSpriteFrameInterval, 20}, {kSpriteSeconds, 1}};
    const Bytes record = Record(timed);
    timed.longs = {{kSpritePathInterval, 100}, {kSpriteFrameInterval, 100}, {kSpriteSeconds, 1}};
    const Bytes later = Record(timed);  // due only after the world has gone
    for (const bool multimedia : {false, true}) {
        SCOPED_TRACE(multimedia ? "multimedia timers" : "polled timers");
        ShutdownTimers();
        if (multimedia) {
            ASSERT_TRUE(InitTimerResolution());
        }
        ASSERT_EQ(GetTimerResolution() != 0, multimedia);
        ASSERT_EQ(Play(record, 1), 1);
        EXPECT_GT(FiredMessagesWithin(150), 0) << "a playing object's timers fire";
        EXPECT_TRUE(AnimWorldExists());
        ASSERT_EQ(Play(later, 2), 1);
        DisposeAnimWorld();
        FiredMessagesWithin(30);  // what fired before
        EXPECT_EQ(FiredMessagesWithin(200), 0) << "no timer of a freed object fires";
    }
    ShutdownTimers();
    InitTimerResolution();
}
