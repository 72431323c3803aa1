// The frame animation queue on a window, its tick count set by the test: frames drawn in turn
// and in the card's colours, cycles, empty frames, stopping, the end with and without the
// refresh, what is refused, and the colour re-map of a stored animation (the
// performer's references and first frames with the card: FrameAnimInBrowser_win_test).
#include "actions/FrameAnimations.h"

#include <gtest/gtest.h>

#include <vector>

#include "actions/ActionRecord.h"
#include "core/system/Ticks.h"
#include "stack/pictures/FrameAnimFrames.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

uint32_t g_milliseconds = 0;
uint32_t TestClock() { return g_milliseconds; }
void SetTick(uint32_t tick) { g_milliseconds = tick * 17; }

constexpr uint16_t kDelay = 5;
constexpr uint8_t kWhite = 0, kRed = 1, kGreen = 2, kBlue = 3;

sb::FrameAnimation Solid(std::initializer_list<uint8_t> colours, uint16_t cycles = 1, uint16_t flags = 0) {
    sb::FrameAnimation a;
    a.width = 20;
    a.height = 10;
    a.delay = kDelay;
    a.cycles = cycles;
    a.flags = flags;
    for (uint8_t c : colours)
        a.frames.emplace_back(size_t(a.width) * a.height, c);
    return a;
}

// The animation as the reader leaves it: built into a button, read back, the chunk's payload.
std::vector<uint8_t> MemoryOrder(const sb::FrameAnimation& a) {
    std::vector<uint8_t> record = sb::BuildObjectRecord(sb::FrameAnimationButton(1, {}, "", {}, a));
    const char* reason = nullptr;
    EXPECT_EQ(ConvertObjectRecord(record, ByteOrder::ToHost, StackConversion{}, &reason), kStackOk) << reason;
    uint32_t at = 0;
    EXPECT_TRUE(FindChunk(record, kTagAnimation, &at));
    const std::span<const uint8_t> payload = ChunkPayload(std::span<const uint8_t>(record).subspan(at));
    return {payload.begin(), payload.end()};
}

enum class Seen { White, Red, Green, Blue, Other };
Seen Classify(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r > 200 && g > 200 && b > 200)
        return Seen::White;
    if (r > 160 && g < 80 && b < 80)
        return Seen::Red;
    if (g > 160 && r < 80 && b < 80)
        return Seen::Green;
    if (b > 160 && r < 80 && g < 80)
        return Seen::Blue;
    return Seen::Other;
}

class FrameAnimationsTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        saved_ = SetMillisecondClock(TestClock);
        SetTick(1000);
        sb::Stack s;
        s.cardWidth = 200;
        s.cardHeight = 150;
        sb::Card card = sb::PictureCard(1, sb::SolidPicture(200, 150, 8, kWhite));
        card.picture->palette = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        sb::FrameAnimation stored = Solid({kRed, kBlue});
        card.objects = {sb::FrameAnimationButton(7, {150, 120, 190, 140}, "Flip", {}, stored)};
        s.cards = {card};
        Load(s);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        Paint();
    }
    void TearDown() override {
        FreeFrameAnimQueue(queue_);
        DestroyWindow(window_);
        SetMillisecondClock(saved_);
        CardSessionTest::TearDown();
    }
    Handle Data(const sb::FrameAnimation& a) { return NewHandleFromBytes(MemoryOrder(a)); }
    bool Queue(const sb::FrameAnimation& a, uint16_t id = 1, Rect32 area = {10, 10, 30, 20}) {
        return QueueFrameAnimation(Data(a), area, queue_, id);
    }
    bool Step(uint32_t tick) {
        SetTick(tick);
        return StepFrameAnimQueue(queue_, window_, nullptr);
    }
    Seen At(int x, int y) {
        HDC dc = GetDC(window_);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window_, dc);
        return Classify(c);
    }
    void Paint() {
        HDC dc = GetDC(window_);
        RECT all = {0, 0, 200, 150};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(window_, dc);
        ValidateRect(window_, nullptr);
    }
    FrameAnimQueue queue_;
    HWND window_ = nullptr;
    MillisecondClock saved_ = nullptr;
};

TEST_F(FrameAnimationsTest, FramesPlayInTurnAndTheLastStaysUnlessTheCardIsAskedBack) {
    // Red, red again (the builder writes a frame of its head alone: no pixel changed), green: the
    // empty frame draws the picture unchanged and still takes its delay.
    ASSERT_TRUE(Queue(Solid({kRed, kRed, kGreen})));
    EXPECT_FALSE(FrameAnimsDoneIn(queue_, 1));
    EXPECT_TRUE(FrameAnimsDoneIn(queue_, 2));

    EXPECT_TRUE(Step(1000));
    EXPECT_EQ(At(15, 15), Seen::Red);
    EXPECT_EQ(At(35, 15), Seen::White) << "only the animation's own size is drawn";
    Paint();
    EXPECT_TRUE(Step(1000 + kDelay - 1));
    EXPECT_EQ(At(15, 15), Seen::White) << "not due yet";
    EXPECT_TRUE(Step(1000 + kDelay));
    EXPECT_EQ(At(15, 15), Seen::Red) << "the empty frame draws the picture as it was";
    EXPECT_TRUE(Step(1000 + 2 * kDelay - 1));
    EXPECT_EQ(At(15, 15), Seen::Red);
    EXPECT_TRUE(Step(1000 + 2 * kDelay));
    EXPECT_EQ(At(15, 15), Seen::Green);
    // Past the last frame the one cycle is over: the entry ends and the last frame stays.
    EXPECT_FALSE(Step(1000 + 3 * kDelay));
    EXPECT_TRUE(IsFrameAnimQueueEmpty(queue_));
    EXPECT_TRUE(FrameAnimsDoneIn(queue_, 1));
    EXPECT_EQ(At(15, 15), Seen::Green);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window_, &update, FALSE));

    // With the refresh flag the card is asked to draw its area again when it ends.
    ASSERT_TRUE(Queue(Solid({kBlue}, 1, kFrameAnimRefreshAtEnd), 1, {40, 30, 60, 40}));
    Step(2000);
    EXPECT_EQ(At(45, 35), Seen::Blue);
    EXPECT_FALSE(Step(2000 + kDelay));
    ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
    const RECT area = {40, 30, 60, 40};
    EXPECT_TRUE(EqualRect(&update, &area));
}

TEST_F(FrameAnimationsTest, ASingleFrameShowsOncePerCycle) {
    ASSERT_TRUE(Queue(Solid({kRed}, 2)));
    int shown = 0;
    for (uint32_t tick = 1000; tick <= 1000 + 4 * kDelay && !IsFrameAnimQueueEmpty(queue_); ++tick) {
        Paint();
        Step(tick);
        shown += At(15, 15) == Seen::Red;
    }
    EXPECT_TRUE(IsFrameAnimQueueEmpty(queue_));
    EXPECT_EQ(shown, 2) << "one showing for each of the two cycles";
}

TEST_F(FrameAnimationsTest, AStoppedEntryEndsAtItsNextDueTimeWithoutDrawing) {
    ASSERT_TRUE(Queue(Solid({kRed, kGreen, kBlue}, 3), 5));
    ASSERT_TRUE(Queue(Solid({kRed, kGreen}, 1), 6, {40, 10, 60, 20}));
    Step(1000);
    StopFrameAnimsOf(queue_, 5);
    EXPECT_TRUE(FrameAnimsDoneIn(queue_, 5)) << "stopping counts as done";
    EXPECT_FALSE(FrameAnimsDoneIn(queue_, 6));
    Paint();
    EXPECT_TRUE(Step(1000 + kDelay));
    EXPECT_EQ(At(15, 15), Seen::White);
    EXPECT_EQ(At(45, 15), Seen::Green);
    Step(1000 + 2 * kDelay);
    EXPECT_TRUE(IsFrameAnimQueueEmpty(queue_));
    // Id 0 stops every entry; each is gone at its next due time.
    ASSERT_TRUE(Queue(Solid({kRed, kGreen, kBlue}, 3), 5));
    ASSERT_TRUE(Queue(Solid({kRed, kGreen}, 2), 6, {40, 10, 60, 20}));
    Step(1100);
    StopFrameAnimsOf(queue_, 0);
    EXPECT_TRUE(Step(1100 + kDelay - 1));
    EXPECT_FALSE(Step(1100 + kDelay));
}

TEST_F(FrameAnimationsTest, WhatCannotPlayIsNotQueuedAndItsDataFreedUnlessNotOwned) {
    std::vector<uint8_t> bytes = MemoryOrder(Solid({kRed}));
    SetU16(bytes, kFrameAnimHeight, 11);  // one row more than frame 1 holds
    const Handle tall = NewHandleFromBytes(bytes);
    EXPECT_FALSE(QueueFrameAnimation(tall, {10, 10, 30, 20}, queue_, 1));
    EXPECT_FALSE(IsValidHandle(tall));
    SetU16(bytes, kFrameAnimFlags, kFrameAnimNotOwned);
    const Handle kept = NewHandleFromBytes(bytes);
    EXPECT_FALSE(QueueFrameAnimation(kept, {10, 10, 30, 20}, queue_, 1));
    EXPECT_TRUE(IsValidHandle(kept));
    DisposeHandle(kept);
    EXPECT_TRUE(IsFrameAnimQueueEmpty(queue_));
}

TEST_F(FrameAnimationsTest, TheRemapToAnotherPaletteRewritesTheStoredFrames) {
    // Button 7's red and blue, re-mapped to a palette whose nearest are entries 9 and 4.
    struct {
        WORD version = 0x300, count = 10;
        PALETTEENTRY entries[10] = {};
    } logical;
    logical.entries[9] = {250, 10, 10, 0};
    logical.entries[4] = {10, 10, 250, 0};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    const Handle card = GetCurrentCardRecord();
    uint32_t offset = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 7, card, &offset));
    const uint32_t cardLength = GetHandleSize(card);
    RemapFrameAnimColors(card, offset, palette);
    DeleteObject(palette);
    EXPECT_EQ(GetHandleSize(card), cardLength) << "frame 1 keeps its size";
    Handle record = 0;
    uint32_t at = 0;
    ASSERT_TRUE(FindActionChunkById(7, kTagAnimation, &record, &at));
    const std::vector<uint8_t> bytes = HandleToBytes(record);
    const std::span<const uint8_t> chunk = std::span<const uint8_t>(bytes).subspan(at);
    const std::span<const uint8_t> payload = ChunkPayload(chunk.first(GetU32(chunk, kObjectLength)));
    FrameAnimHeader header;
    ASSERT_EQ(CheckFrameAnim(payload, &header), FrameAnimRefusal::None);
    std::vector<uint8_t> picture(size_t{header.pictureRowBytes} * header.height);
    ASSERT_TRUE(DecodeAnimFrame(payload, 1, header, picture));
    EXPECT_EQ(picture[0], 9);
    ASSERT_TRUE(DecodeAnimFrame(payload, 2, header, picture));
    EXPECT_EQ(picture[0], 4);
    ExpectSavable(card);
}

}  // namespace
