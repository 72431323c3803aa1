// Frames for animated objects in the hosted plug-in: a numbered BMP series stacked in number
// order, an animated GIF's strip, a movie film, and grabs of the card driven by SendInput
// (a rectangle either way round, a Control pick of a colour region, Escape and a lost capture).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "core/system/PluginModule.h"
#include "media/animation/AnimPlayback.h"
#include "media/animation/AnimRecord.h"
#include "authoring/animation/AnimFrames.h"
#include "authoring/animation/AnimSource.h"
#include "format/StackFile.h"
#include "resources/animsource_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

constexpr int kGrabCardWidth = 200, kGrabCardHeight = 150;
constexpr uint32_t kRed = 0xFF0000;

// Left half pure red; right half a gradient whose every pixel differs from its neighbours.
uint32_t CardColour(int x, int y) {
    if (x < kGrabCardWidth / 2)
        return kRed;
    return static_cast<uint32_t>(((x * 8) & 0xF8) << 16 | ((y * 8) & 0xF8) << 8 | 0x40);
}

sb::Stack ColourCard() {
    sb::Stack s;
    s.cardWidth = kGrabCardWidth;
    s.cardHeight = kGrabCardHeight;
    s.depth = 32;
    sb::Card card = sb::PlainCard(1);
    sb::Picture p;
    p.width = kGrabCardWidth;
    p.height = kGrabCardHeight;
    p.depth = 32;
    for (int y = 0; y < kGrabCardHeight; ++y)
        for (int x = 0; x < kGrabCardWidth; ++x)
            p.pixels.push_back(CardColour(x, y));
    card.picture = p;
    s.cards.push_back(card);
    return s;
}

// The pixels of a bitmap as 0xRRGGBB, top row first.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int x, int y, int width, int height) {
    BITMAP size{};
    GetObject(bitmap, sizeof size, &size);
    std::vector<uint32_t> all(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.bmHeight), all.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::vector<uint32_t> part;
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col)
            part.push_back(all[static_cast<size_t>(row) * size.bmWidth + col] & 0xFFFFFF);
    return part;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP b{};
    GetObject(bitmap, sizeof b, &b);
    return {b.bmWidth, b.bmHeight};
}

void ExpectRect(const ShortRect& r, int left, int top, int right, int bottom, const char* what) {
    EXPECT_EQ(r.left, left) << what;
    EXPECT_EQ(r.top, top) << what;
    EXPECT_EQ(r.right, right) << what;
    EXPECT_EQ(r.bottom, bottom) << what;
}

// A 24-bit BMP of one colour.
std::string SolidBmp(const std::string& name, int width, int height, uint32_t colour) {
    return WriteTemp(name.c_str(), sb::BmpFile(sb::SolidPicture(width, height, 32, colour)));
}

// Input sent with SendInput from a thread timer, one step a tick, while a grab runs its own
// loop; when the steps are done and the grab still runs, a release is posted so that a test
// fails instead of waiting for ever.
struct InputStep {
    enum Kind { Move, Press, Release, KeyDown, KeyUp, DropCapture, Look } kind;
    int x = 0, y = 0;
    WORD key = 0;  // a Look's: how many pixels of the row from x
};

struct InputScript {
    HWND card = nullptr;
    std::vector<InputStep> steps;
    size_t next = 0;
    int idle = 0;
    std::vector<std::vector<COLORREF>> looks;  // a Look step's row of the window as shown
};
InputScript g_script;

// The shown pixels of a row of the card window from x, n of them.
std::vector<COLORREF> ShownRow(HWND window, int x, int y, int n) {
    std::vector<COLORREF> row;
    HDC dc = GetDC(window);
    for (int i = 0; i < n; ++i)
        row.push_back(GetPixel(dc, x + i, y));
    ReleaseDC(window, dc);
    return row;
}

void SendMouseInput(int x, int y, DWORD flags) {
    POINT p{x, y};
    ClientToScreen(g_script.card, &p);
    SendScreenMouse(p, flags);
}

void CALLBACK OnInputTick(HWND, UINT, UINT_PTR, DWORD) {
    InputScript& s = g_script;
    if (GetCapture() != s.card && s.next < s.steps.size())
        return;  // no grab runs (yet, or again)
    if (s.next >= s.steps.size()) {
        if (++s.idle == 40)
            PostMessageA(s.card, WM_LBUTTONUP, 0, 0);
        if (s.idle == 60)
            ReleaseCapture();
        return;
    }
    const InputStep& step = s.steps[s.next++];
    switch (step.kind) {
    case InputStep::Move: SendMouseInput(step.x, step.y, 0); break;
    case InputStep::Press: SendMouseInput(step.x, step.y, MOUSEEVENTF_LEFTDOWN); break;
    case InputStep::Release: SendMouseInput(step.x, step.y, MOUSEEVENTF_LEFTUP); break;
    case InputStep::KeyDown: SendScreenKey(step.key, false); break;
    case InputStep::KeyUp: SendScreenKey(step.key, true); break;
    case InputStep::DropCapture: ReleaseCapture(); break;
    case InputStep::Look: s.looks.push_back(ShownRow(s.card, step.x, step.y, step.key)); break;
    }
}

class AnimSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenInLinkedPlugin(ColourCard(), "animsrc-" + ProcessTag() + ".stk", &page));
        SetForegroundWindow(page.page);
    }
    void TearDown() override {
        for (const std::string& f : files)
            std::remove(f.c_str());
        CloseLinkedPlugin(&page);
    }
    std::string Temp(const std::string& name) { return "animsrc_" + ProcessTag() + "_" + name; }
    // Runs what grabs with the steps fed in while a grab holds the mouse.
    template <class F>
    auto WithInput(std::vector<InputStep> steps, F&& grabbing) {
        g_script = InputScript{GetMainWindow(), std::move(steps)};
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, OnInputTick);
        const auto result = grabbing();
        KillTimer(nullptr, timer);
        SendScreenKey(VK_CONTROL, true);
        PumpPageMessages();
        return result;
    }
    bool Grab(bool lasso, std::vector<InputStep> steps, FrameStrip* out) {
        return WithInput(std::move(steps), [&] { return GrabCardFrame(lasso, out); });
    }
    LinkedPluginPage page;
    std::vector<std::string> files;
};

}  // namespace

TEST_F(AnimSourceTest, ANumberedSeriesStacksItsFilesInNumberOrder) {
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF};  // files 1, 2 and 10
    const char* numbers[] = {"1", "2", "10"};
    for (int i = 0; i < 3; ++i)
        files.push_back(SolidBmp(Temp("step") + numbers[i] + ".bmp", 12, 8, colours[i]));
    files.push_back(SolidBmp(Temp("stepx.bmp"), 12, 8, 0xFFFFFF));  // not of the series
    files.push_back(SolidBmp(Temp("solo5.bmp"), 12, 8, 0xFFFFFF));
    files.push_back(SolidBmp(Temp("plain.bmp"), 12, 8, 0xFFFFFF));

    const std::vector<std::string> series = FindSeriesFiles(files[1].c_str());
    ASSERT_EQ(series.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(series[i], files[i]) << "frame 9 before frame 10";
    EXPECT_TRUE(FindSeriesFiles(files[4].c_str()).empty()) << "a single match";
    EXPECT_TRUE(FindSeriesFiles(files[5].c_str()).empty()) << "no trailing digits";

    FrameStrip strip;
    ASSERT_TRUE(StackSeriesFiles(series, RECT{2, 1, 10, 7}, &strip));
    EXPECT_EQ(SizeOf(strip.strip).cx, 8);
    EXPECT_EQ(SizeOf(strip.strip).cy, 18);
    ASSERT_EQ(strip.frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        ExpectRect(strip.frames[i], 0, i * 6, 8, (i + 1) * 6, numbers[i]);
        EXPECT_EQ(Pixels(strip.strip, 0, i * 6, 8, 6), std::vector<uint32_t>(48, colours[i])) << numbers[i];
    }
    EXPECT_FALSE(strip.transparent);

    const Handle film = MakeStripFilm(&strip, true);
    ASSERT_NE(film, 0u);
    EXPECT_EQ(strip.strip, nullptr) << "the film took the strip";
    EXPECT_EQ(GetFilmFrameCount(film), 3u);
    EXPECT_EQ(GetFilmKind(film), kFilmStrip);
    EXPECT_EQ(GetFilmMaskState(film), 0);
    ShortRect second{};
    ASSERT_TRUE(GetFilmFrameRect(film, 1, &second));
    ExpectRect(second, 0, 6, 8, 12, "film frame 1");
    DisposeFilm(film);

    // Frame rectangles are 16-bit: of three 12000-row pictures only two fit below 32767 rows.
    std::vector<std::string> tall;
    for (const char* n : {"tall1.bmp", "tall2.bmp", "tall3.bmp"})
        tall.push_back(SolidBmp(Temp(n), 2, 12000, 0x0000FF));
    files.insert(files.end(), tall.begin(), tall.end());
    ASSERT_TRUE(StackSeriesFiles(tall, RECT{}, &strip));
    ASSERT_EQ(strip.frames.size(), 2u);
    ExpectRect(strip.frames[1], 0, 12000, 2, 24000, "the last frame that fits");
    EXPECT_EQ(SizeOf(strip.strip).cy, 24000);
    FreeFrameStrip(&strip);
}

TEST_F(AnimSourceTest, AnAnimatedGifMakesAStripAsWideAsItsWidestFrame) {
    // 20 x 4; colours white, red, green, blue; frames 10, 20 and 15 wide; index 0 transparent.
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 20, 0, 4, 0, 0x81, 0, 0};
    for (uint8_t c : {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255})
        gif.push_back(c);
    const auto frame = [&](uint8_t flags, uint8_t width, uint8_t index) {
        gif.insert(gif.end(), {0x21, 0xF9, 4, flags, 10, 0, 0, 0});
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, width, 0, 4, 0, 0});
        const Bytes lzw = GifPixels(Bytes(size_t{4} * width, index));
        gif.insert(gif.end(), lzw.begin(), lzw.end());
    };
    frame(0x05, 10, 1);
    frame(0x04, 20, 2);
    frame(0x04, 15, 3);
    gif.push_back(0x3B);
    files.push_back(WriteTemp(Temp("dance.gif").c_str(), gif));

    FrameStrip strip;
    ASSERT_EQ(GetGifFrames(files[0].c_str(), &strip), FrameSourceResult::Made);
    EXPECT_EQ(SizeOf(strip.strip).cx, 20);
    EXPECT_EQ(SizeOf(strip.strip).cy, 12);
    ASSERT_EQ(strip.frames.size(), 3u);
    const uint32_t firsts[] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 3; ++i) {
        ExpectRect(strip.frames[i], 0, 4 * i, 20, 4 * i + 4, "gif frame");
        EXPECT_EQ(Pixels(strip.strip, 0, 4 * i, 1, 1)[0], firsts[i]) << "frame " << i;
    }
    ASSERT_TRUE(strip.transparent);
    EXPECT_EQ(strip.rgb[0], 255);
    EXPECT_EQ(strip.rgb[2], 255);
    FreeFrameStrip(&strip);
    // One image alone is no animation: it goes on to the cropping of one picture.
    Bytes still(gif.begin(), gif.begin() + 13 + 12 + 8 + 10);
    const Bytes lzw = GifPixels(Bytes(40, 1));
    still.insert(still.end(), lzw.begin(), lzw.end());
    still.push_back(0x3B);
    files.push_back(WriteTemp(Temp("still.gif").c_str(), still));
    EXPECT_EQ(GetGifFrames(files[1].c_str(), &strip), FrameSourceResult::NotThisSource);

    // The whole way from the file: no series, an animated GIF, a film with colour masks.
    Handle film = 0;
    ASSERT_TRUE(GetAnimationSource(&film, files[0].c_str()));
    EXPECT_EQ(GetFilmFrameCount(film), 3u);
    EXPECT_EQ(GetFilmMaskState(film), 2);
    uint16_t rgb[3] = {};
    GetFilmTransparentColor(film, rgb);
    EXPECT_EQ(rgb[1], 255);
    DisposeFilm(film);
    POINT start{};
    EXPECT_FALSE(GetGrabbedFrameStart(&start)) << "not from the card";
}

TEST_F(AnimSourceTest, AMovieFileMakesAMovieFilmOfOneFrame) {
    files.push_back(WriteTemp(Temp("clip.avi").c_str(), RleAvi()));
    // The movie lies on this disk: the stack is this machine's (one from the web asks its site).
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    Handle film = 0;
    const bool made = GetAnimationSource(&film, files[0].c_str());
    ASSERT_TRUE(made);
    EXPECT_EQ(GetFilmKind(film), kFilmMovie);
    ASSERT_EQ(GetFilmFrameCount(film), 1u);
    ShortRect box{};
    ASSERT_TRUE(GetFilmFrameRect(film, 0, &box));
    ExpectRect(box, 0, 0, kAviWidth, kAviHeight, "the movie's box");
    int16_t anchor[3] = {};
    ASSERT_TRUE(GetFilmFrameAnchor(film, 0, anchor));
    EXPECT_EQ(anchor[0], -kAviWidth / 2);
    EXPECT_EQ(anchor[1], -kAviHeight / 2);
    DisposeFilm(film);
}

TEST_F(AnimSourceTest, ARectangleGrabGivesTheSameAreaEitherWayRound) {
    FrameStrip down, up;
    ASSERT_TRUE(Grab(false, {{InputStep::Move, 125, 35}, {InputStep::Press, 125, 35}, {InputStep::Move, 150, 50},
                             {InputStep::Move, 175, 75}, {InputStep::Release, 175, 75}},
                     &down));
    ASSERT_TRUE(Grab(false, {{InputStep::Move, 175, 75}, {InputStep::Press, 175, 75}, {InputStep::Move, 140, 60},
                             {InputStep::Move, 125, 35}, {InputStep::Release, 125, 35}},
                     &up));
    for (FrameStrip* s : {&down, &up}) {
        EXPECT_EQ(SizeOf(s->strip).cx, 50);
        EXPECT_EQ(SizeOf(s->strip).cy, 40);
        ASSERT_EQ(s->frames.size(), 1u);
        ExpectRect(s->frames[0], 0, 0, 50, 40, "one frame");
        EXPECT_FALSE(s->transparent);
    }
    const std::vector<uint32_t> pixels = Pixels(down.strip, 0, 0, 50, 40);
    EXPECT_EQ(pixels, Pixels(up.strip, 0, 0, 50, 40));
    PixMap* off = GetAnimOffscreen();
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(pixels, Pixels(off->bitmap, 125, 35, 50, 40)) << "the card's pixels";
    EXPECT_NE(pixels.front(), pixels.back());
    // The centre of the area, on the screen.
    POINT centre{150, 55};
    ClientToScreen(GetMainWindow(), &centre);
    EXPECT_EQ(down.startOnScreen.x, centre.x);
    EXPECT_EQ(down.startOnScreen.y, centre.y);
    FreeFrameStrip(&down);
    FreeFrameStrip(&up);
}

// Dragged up and to the left, the marching outline shows from the mouse to the press.
TEST_F(AnimSourceTest, TheGrabsOutlineShowsWhenDraggedUpAndLeft) {
    FrameStrip strip;
    const InputStep lookAtTop{InputStep::Look, 127, 35, 46};
    ASSERT_TRUE(Grab(false, {{InputStep::Move, 175, 75}, lookAtTop, {InputStep::Press, 175, 75},
                             {InputStep::Move, 140, 60}, {InputStep::Move, 125, 35}, {InputStep::Move, 125, 35},
                             lookAtTop, {InputStep::Release, 125, 35}},
                     &strip));
    ASSERT_EQ(g_script.looks.size(), 2u);
    int inverted = 0;
    for (size_t i = 0; i < g_script.looks[0].size(); ++i)
        inverted += g_script.looks[1][i] != g_script.looks[0][i];
    EXPECT_GT(inverted, 10) << "the outline's top edge while dragging";
    FreeFrameStrip(&strip);
}

TEST_F(AnimSourceTest, AControlPickOnPureRedShowsThroughAColourWithRedZero) {
    SKIP_UNLESS_TRUE_COLOUR("the picked colour is compared channel by channel");
    FrameStrip strip;
    ASSERT_TRUE(Grab(true, {{InputStep::Move, 30, 40}, {InputStep::KeyDown, 0, 0, VK_CONTROL},
                            {InputStep::Press, 30, 40}, {InputStep::Release, 30, 40}, {InputStep::KeyUp, 0, 0, VK_CONTROL}},
                     &strip));
    ASSERT_TRUE(strip.transparent);
    EXPECT_EQ(strip.rgb[0], 0);
    ASSERT_EQ(strip.frames.size(), 1u);
    ExpectRect(strip.frames[0], 0, 0, kGrabCardWidth / 2, kGrabCardHeight, "the red half");
    EXPECT_EQ(Pixels(strip.strip, 0, 0, 1, 1)[0], kRed);
    FreeFrameStrip(&strip);
}

TEST_F(AnimSourceTest, ALassoCutsItsAreaOutOnTheColourUnderItsFirstPoint) {
    FrameStrip strip;
    ASSERT_TRUE(Grab(true, {{InputStep::Move, 120, 20}, {InputStep::Press, 120, 20}, {InputStep::Move, 180, 20},
                            {InputStep::Move, 180, 80}, {InputStep::Move, 120, 80}, {InputStep::Release, 121, 79}},
                     &strip));
    PixMap* off = GetAnimOffscreen();
    ASSERT_NE(off, nullptr);
    ASSERT_TRUE(strip.transparent);
    const uint32_t first = Pixels(off->bitmap, 120, 20, 1, 1)[0];
    EXPECT_EQ(uint32_t{strip.rgb[0]} << 16 | strip.rgb[1] << 8 | strip.rgb[2], first);
    ASSERT_EQ(strip.frames.size(), 1u);
    const int w = strip.frames[0].right, h = strip.frames[0].bottom;
    EXPECT_NEAR(w, 60, 2);
    EXPECT_NEAR(h, 60, 2);
    // The cut-out lines up with the card: its middle is the card's pixel at the area's middle.
    POINT middle = strip.startOnScreen;
    ScreenToClient(GetMainWindow(), &middle);
    EXPECT_EQ(Pixels(strip.strip, w / 2, h / 2, 1, 1), Pixels(off->bitmap, middle.x, middle.y, 1, 1));
    FreeFrameStrip(&strip);
}

TEST_F(AnimSourceTest, EscapeOrALostCaptureDuringAGrabCapturesNothing) {
    FrameStrip strip;
    EXPECT_FALSE(Grab(false, {{InputStep::Move, 20, 20}, {InputStep::Press, 20, 20}, {InputStep::Move, 80, 70},
                              {InputStep::KeyDown, 0, 0, VK_ESCAPE}, {InputStep::KeyUp, 0, 0, VK_ESCAPE},
                              {InputStep::Release, 80, 70}},
                      &strip));
    EXPECT_EQ(strip.strip, nullptr);
    EXPECT_TRUE(strip.frames.empty());
    EXPECT_FALSE(Grab(true, {{InputStep::Move, 120, 20}, {InputStep::Press, 120, 20}, {InputStep::Move, 160, 30},
                             {InputStep::Move, 150, 80}, {InputStep::DropCapture}, {InputStep::Release, 150, 80}},
                      &strip));
    EXPECT_EQ(strip.strip, nullptr);
    // An empty rectangle captures nothing either.
    EXPECT_FALSE(Grab(false, {{InputStep::Move, 60, 60}, {InputStep::Press, 60, 60}, {InputStep::Release, 60, 60}},
                      &strip));
}

TEST_F(AnimSourceTest, TheCurrentCardChoiceGrabsAgainAfterTryAgain) {
    DialogDriver driver(8000);
    driver.Expect(DialogMatch::Template("ANIMSOURCE"), [](DialogView& d) {
        EXPECT_FALSE(d.IsVisible(IDC_ANIMSRC_SCREEN));
        const RECT place = d.ControlRect(IDC_ANIMSRC_SCREEN);
        const RECT button = d.ControlRect(IDC_ANIMSRC_RECT);
        EXPECT_EQ(button.right - button.left, 28) << "half its bitmap";
        d.SetChecked(IDC_ANIMSRC_RECT, true);  // the rectangle shape
        // A click on the Current Card picture, drawn at its place's left.
        PostMessageA(d.Window(), WM_LBUTTONUP, 0, MAKELPARAM(place.left + 4, (place.top + place.bottom) / 2));
    });
    driver.Expect(DialogMatch::Alert(IDS_ALERT_NO_CARD_AREA), [](DialogView& d) {
        EXPECT_EQ(d.ButtonLabels(), (std::vector<std::string>{"Try Again", "Cancel"}));
        d.Press(52);
    });
    Handle film = 0;
    // The first grab ends with Escape; the second takes 30 by 20 pixels of the red half.
    const bool made = WithInput({{InputStep::Move, 20, 20}, {InputStep::Press, 20, 20}, {InputStep::Move, 40, 30},
                                 {InputStep::KeyDown, 0, 0, VK_ESCAPE}, {InputStep::KeyUp, 0, 0, VK_ESCAPE},
                                 {InputStep::Release, 40, 30}, {InputStep::Move, 10, 10}, {InputStep::Press, 10, 10},
                                 {InputStep::Move, 40, 30}, {InputStep::Release, 40, 30}},
                                [&] { return driver.Run([&] { return GetAnimationSource(&film, nullptr); }); });
    ASSERT_TRUE(made);
    EXPECT_FALSE(IsLassoGrabShape());
    EXPECT_EQ(GetFilmFrameCount(film), 1u);
    ShortRect frame{};
    ASSERT_TRUE(GetFilmFrameRect(film, 0, &frame));
    ExpectRect(frame, 0, 0, 30, 20, "the grabbed area");
    EXPECT_EQ(GetFilmMaskState(film), 0);
    POINT start{}, centre{25, 20};
    ASSERT_TRUE(GetGrabbedFrameStart(&start));
    ClientToScreen(GetMainWindow(), &centre);
    EXPECT_EQ(start.x, centre.x);
    EXPECT_EQ(start.y, centre.y);
    DisposeFilm(film);

    DialogDriver cancel;
    cancel.Expect(DialogMatch::Template("ANIMSOURCE"), [](DialogView& d) { d.Press(IDCANCEL); });
    EXPECT_FALSE(cancel.Run([&] { return GetAnimationSource(&film, nullptr); }));
    EXPECT_EQ(film, 0u);
}
