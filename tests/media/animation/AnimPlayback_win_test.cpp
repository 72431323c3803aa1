// Animated objects in the plug-in hosted in this program: films loaded with their pictures (a
// movie's box, masks of a transparent colour), the entry points that play and release them over
// the animation offscreen, and the path drawn and edited over the card.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/CurrentColors.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/CardNavigation.h"
#include "media/animation/AnimPlayback.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "tests/media/animation/AnimPage_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/RleAvi.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;
constexpr sb::Rgb kCardBlue{40, 40, 200}, kCardGreen{40, 200, 40};

// The plug-in on a stack of a blue card and a green one.
class AnimPlaybackTest : public AnimPageTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenCards({kCardBlue, kCardGreen}));
        ASSERT_EQ(GetCurrentCardId(), 1);
    }
};

bool Near(COLORREF got, int red, int green, int blue) {
    const int slack = 16;
    return std::abs(GetRValue(got) - red) <= slack && std::abs(GetGValue(got) - green) <= slack &&
           std::abs(GetBValue(got) - blue) <= slack;
}
// The strongest channel by a clear margin (the cards' colours at any display depth).
bool Bluish(COLORREF c) { return GetBValue(c) > GetRValue(c) + 60 && GetBValue(c) > GetGValue(c) + 60; }
bool Greenish(COLORREF c) { return GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > GetBValue(c) + 60; }
std::string Rgb(COLORREF c) {
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

Handle HandleOf(const Bytes& bytes) { return NewHandleFromBytes(bytes); }

// How the DC shows a colour: a square filled with it at (x, y), read back.
COLORREF Shown(HDC dc, COLORREF colour, int x, int y) {
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT square = {x, y, x + 4, y + 4};
    FillRect(dc, &square, brush);
    DeleteObject(brush);
    return GetPixel(dc, x + 1, y + 1);
}
// The current text and eraser colours (palette indexes of the current palette).
COLORREF TextColour() { return PaletteIndexToColor(GetToolColor('t')); }
COLORREF EraserColour() { return PaletteIndexToColor(GetToolColor('e')); }

// A strip of two 10 by 10 frames, red where (x + y) % 3 is 0, else white, or blue at the right.
constexpr uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF, kBlue = 0x0000FF;
uint32_t StripPixel(int x, int y) { return (x + y) % 3 == 0 ? kRed : x > 14 ? kBlue : kWhite; }

sb::Sprite RedStripSprite() {
    sb::Sprite s;
    s.number = 3;
    sb::Picture strip = sb::SolidPicture(20, 10, 32, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            strip.pixels[size_t(y) * 20 + x] = StripPixel(x, y);
    s.film.strip = strip;
    s.film.frames = {{0, 0, 10, 10}, {10, 0, 20, 10}};
    s.path = {{20, 20, 50}, {60, 40, 50}};
    return s;
}

// Pixels of a one-bit bitmap that are black.
std::vector<bool> BlackPixels(HBITMAP bitmap, int width, int height) {
    std::vector<bool> black(size_t(width) * height);
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            black[size_t(y) * width + x] = (GetPixel(dc, x, y) & 0xFFFFFF) == 0;
    SelectObject(dc, old);
    DeleteDC(dc);
    return black;
}

void ExpectMasksOnRed(Handle film, const char* when) {
    ASSERT_EQ(GetFilmMaskState(film), 2) << when;
    for (uint32_t frame = 0; frame < 2; ++frame) {
        const HBITMAP mask = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(GetFilmFrameBitmap(film, frame)));
        ASSERT_NE(mask, nullptr) << when << " frame " << frame;
        const std::vector<bool> black = BlackPixels(mask, 10, 10);
        int wrong = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                wrong += black[size_t(y) * 10 + x] != (StripPixel(10 * int(frame) + x, y) == kRed);
        EXPECT_EQ(wrong, 0) << when << " frame " << frame;
    }
}

}  // namespace

TEST_F(AnimPlaybackTest, FilmsLoadTheMoviesBoxAndMasksOfTheTransparentColour) {
    // A movie film: stored without frames, loaded with one, the movie's box.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string avi = std::string(folder) + "anim-clip-" + ProcessTag() + ".avi";
    {
        const Bytes movie = FourFrameRleAvi(40, 30);
        std::ofstream(avi, std::ios::binary).write(reinterpret_cast<const char*>(movie.data()), std::streamsize(movie.size()));
    }
    SetFileSpecFromPath(kSlotMediaFolder14, avi.c_str());
    Handle reference = 0;
    ASSERT_EQ(PackFileSpec(kSlotMediaFolder14, &reference), 1);
    sb::Sprite movie;
    movie.hasPath = false;
    movie.film.kind = kFilmMovie;
    movie.film.movieRef = HandleToBytes(reference);
    DisposeHandle(reference);
    const Bytes stored = sb::SpriteRecord(movie);
    // The movie lies on this disk: the stack is this machine's (one from the web asks its site).
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    Handle sprite = 0;
    ASSERT_EQ(LoadAnimRecord(stored.data(), uint32_t(stored.size()), &sprite), 0);
    Handle film = GetSpriteFilm(sprite);
    ASSERT_EQ(GetFilmFrameCount(film), 1u);
    ShortRect box{};
    ASSERT_TRUE(GetFilmFrameRect(film, 0, &box));
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 30);
    ASSERT_EQ(SaveAnimRecord(sprite), 0);
    const Bytes saved = HandleToBytes(sprite);
    DisposeHandle(sprite);
    const uint32_t filmAt = kSpriteHeaderBytes;
    EXPECT_EQ(GetBE32(saved, filmAt + kFilmFrameCount), 0u) << "saved without frames again";
    EXPECT_EQ(GetBE32(saved, filmAt + kFilmFrameBlockLength), movie.film.movieRef.size());
    DeleteFileA(avi.c_str());

    // A strip whose transparent colour is pure red: each frame's mask is black on the red.
    const Bytes strip = sb::SpriteRecord(RedStripSprite());
    ASSERT_EQ(LoadAnimRecord(strip.data(), uint32_t(strip.size()), &sprite), 0);
    film = GetSpriteFilm(sprite);
    const uint16_t red[3] = {255, 0, 0};
    ASSERT_EQ(SetFilmTransparentColor(film, red), 0);
    ExpectMasksOnRed(film, "made");
    // Saved, the masks go as a mask picture; loaded, they come back from it.
    ASSERT_EQ(SaveAnimRecord(sprite), 0);
    const Bytes withMasks = HandleToBytes(sprite);
    DisposeHandle(sprite);
    EXPECT_GT(GetBE32(withMasks, kSpriteHeaderBytes + GetBE32(withMasks, kSpritePathLength) + kFilmMaskLength), 0u);
    ASSERT_EQ(LoadAnimRecord(withMasks.data(), uint32_t(withMasks.size()), &sprite), 0);
    ExpectMasksOnRed(GetSpriteFilm(sprite), "loaded");
    // A record made new, as the animation dialog makes one, saves and loads back with its picture.
    {
        Handle made = 0, madeFilm = 0, picture = 0;
        ASSERT_EQ(NewSpriteHeader(&made), 0);
        ASSERT_EQ(NewFilmRecord(&madeFilm, kFilmStrip, {ResType("GIFs"), 1}, {ResType("????"), 1}), 0);
        const Bytes packed = sb::PackedPictureOf(*RedStripSprite().film.strip);
        ASSERT_EQ(PreparePictureObject(packed, uint32_t(packed.size()), &picture), 0);
        const int16_t two[8] = {0, 0, 10, 10, 10, 0, 20, 10};
        const Handle rects = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(two), sizeof two});
        ASSERT_EQ(SetFilmFrames(madeFilm, picture, rects), 0);
        DisposeHandle(rects);
        SetSpriteFilm(made, madeFilm);
        ASSERT_EQ(SaveAnimRecord(made), 0);
        const Bytes madeBytes = HandleToBytes(made);
        DisposeHandle(made);
        ASSERT_EQ(LoadAnimRecord(madeBytes.data(), uint32_t(madeBytes.size()), &made), 0);
        const Handle loaded = GetSpriteFilm(made);
        EXPECT_EQ(GetFilmFrameCount(loaded), 2u);
        EXPECT_EQ(GetSpriteWord(made, kSpriteTemplate), 1);
        PixMap* map = LockPixMapHandle(GetFilmPictureHandle(loaded, kFilmStripPicture));
        ASSERT_NE(map, nullptr);
        BeginPixMapDraw(map);
        EXPECT_TRUE(Near(GetPixel(map->dc, 0, 0), 255, 0, 0)) << Rgb(GetPixel(map->dc, 0, 0));
        EXPECT_TRUE(Near(GetPixel(map->dc, 1, 0), 255, 255, 255)) << Rgb(GetPixel(map->dc, 1, 0));
        EndPixMapDraw(map);
        UnlockPixMapHandle(GetFilmPictureHandle(loaded, kFilmStripPicture));
        DisposeSprite(made);
    }
    // Mirrored twins swap in and out.
    film = GetSpriteFilm(sprite);
    const uint32_t plain = GetFilmFrameBitmap(film, 0);
    ASSERT_EQ(PrepareFilmMirror(film, true, false), 0);
    EXPECT_FALSE(IsFilmMirrored(film));
    ToggleFilmMirror(film, false);
    EXPECT_TRUE(IsFilmMirrored(film));
    EXPECT_NE(GetFilmFrameBitmap(film, 0), plain);
    // Each frame turns within its own rectangle: the first shows its own pixels mirrored, not
    // the second's (whose blue would come over).
    {
        const Handle stripPicture = GetFilmPictureHandle(film, kFilmStripPicture);
        PixMap* map = LockPixMapHandle(stripPicture);
        ASSERT_NE(map, nullptr);
        BeginPixMapDraw(map);
        int wrong = 0;
        for (int frame = 0; frame < 2; ++frame)
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x) {
                    const uint32_t want = StripPixel(10 * frame + 9 - x, y);
                    const COLORREF got = GetPixel(map->dc, 10 * frame + x, y);
                    wrong += !Near(got, int(want >> 16), int(want >> 8 & 255), int(want & 255));
                }
        EndPixMapDraw(map);
        UnlockPixMapHandle(stripPicture);
        EXPECT_EQ(wrong, 0) << "pixels unlike their frame's mirror";
    }
    ToggleFilmMirror(film, true);
    EXPECT_EQ(GetFilmFrameBitmap(film, 0), plain);
    DisposeSprite(sprite);
}

TEST_F(AnimPlaybackTest, PlaysShareOneOffscreenOfTheCardAndOwnTheirRecords) {
    const Bytes record = sb::SpriteRecord(RedStripSprite());
    const int handles = MemRefsCount();
    const int started = CountStartedSprites();
    // Only 'Sprt' records play; the handle is freed either way.
    Bytes film = record;
    std::copy_n("Film", 4, film.begin());
    EXPECT_EQ(PlayAnimRecord(HandleOf(film), 7), 0);
    EXPECT_EQ(PlayAnimRecord(0, 7), 0);
    Bytes damaged = record;
    SetBE32(damaged, kSpriteFilmLength, GetBE32(damaged, kSpriteFilmLength) + 1);
    EXPECT_EQ(PlayAnimRecord(HandleOf(damaged), 7), 0) << "a damaged record does not start";
    EXPECT_EQ(MemRefsCount(), handles);

    EXPECT_EQ(PlayAnimRecord(HandleOf(record), 7), 1);
    PixMap* offscreen = GetAnimOffscreen();
    ASSERT_NE(offscreen, nullptr);
    const HBITMAP first = offscreen->bitmap;
    EXPECT_EQ(PlayAnimRecord(HandleOf(record), 8), 1);
    EXPECT_EQ(GetAnimOffscreen(), offscreen);
    EXPECT_EQ(GetAnimOffscreen()->bitmap, first) << "the second play does not make it again";
    EXPECT_EQ(CountStartedSprites(), started + 2);
    DisposeAnimWorld();  // the objects' own handles go with the world
    EXPECT_EQ(MemRefsCount(), handles) << "each copy handed over is freed";
    const auto offscreenPixel = [](int x, int y) {
        PixMap* map = GetAnimOffscreen();
        BeginPixMapDraw(map);
        const COLORREF c = GetPixel(map->dc, x, y);
        EndPixMapDraw(map);
        return c;
    };
    EXPECT_TRUE(Bluish(offscreenPixel(80, 60))) << Rgb(offscreenPixel(80, 60));

    // A new card releases the playback; the next play copies the new card.
    GoToCardId(2, {0, 0, 0});
    PumpPageMessages();
    ASSERT_EQ(GetCurrentCardId(), 2);
    EXPECT_EQ(GetAnimOffscreen(), nullptr);
    EXPECT_FALSE(AnimWorldExists());
    EXPECT_EQ(PlayAnimRecord(HandleOf(record), 7), 1);
    ASSERT_NE(GetAnimOffscreen(), nullptr);
    EXPECT_TRUE(Greenish(offscreenPixel(80, 60))) << Rgb(offscreenPixel(80, 60));
    StepAnimations();
    // The card painted again while the object plays shows the object again where it is.
    const auto shownOverCard = [this] {
        int count = 0;
        HDC dc = GetDC(window_);
        for (int y = 0; y < 80; y += 2)
            for (int x = 0; x < 100; x += 2)
                count += !Greenish(GetPixel(dc, x, y));
        ReleaseDC(window_, dc);
        return count;
    };
    const int drawn = shownOverCard();
    EXPECT_GT(drawn, 0) << "the object's first step";
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    EXPECT_EQ(shownOverCard(), drawn);

    // Without a card offscreen no animation offscreen can be made: nothing plays, nothing leaks.
    ReleaseAnimPlayback();
    const HBITMAP card = GetOffscreenBitmap();
    SetOffscreenBitmap(nullptr);
    const int before = MemRefsCount();
    EXPECT_EQ(PlayAnimRecord(HandleOf(record), 7), 0);
    SetOffscreenBitmap(card);
    EXPECT_EQ(MemRefsCount(), before);
    EXPECT_EQ(GetAnimOffscreen(), nullptr);
}

TEST_F(AnimPlaybackTest, PathsDrawTheirMarks) {
    Handle path = 0;
    ASSERT_EQ(NewPathRecord(&path, 1, {ResType("path"), 1}, {kSprt, 0}), 0);
    HDC screen = GetDC(window_);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kCardW, kCardH);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    // A grey ground, unlike the black lines and the marks.
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    const RECT all = {0, 0, kCardW, kCardH};
    FillRect(dc, &all, grey);
    const COLORREF ground = GetPixel(dc, 5, 5);
    RECT bounds{};
    EXPECT_FALSE(DrawAnimPath(dc, path, &bounds, false)) << "no points";
    PathPoint p;
    p.x = 40;
    p.y = 40;
    ASSERT_EQ(InsertPathPointAfter(path, -1, p), 0);
    EXPECT_TRUE(DrawAnimPath(dc, path, &bounds, false));
    int drawn = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 30; x < 50; ++x)
            drawn += GetPixel(dc, x, y) != ground;
    EXPECT_EQ(drawn, 0) << "a path of one point draws nothing";
    for (const auto& [x, y] : {std::pair{100, 40}, std::pair{100, 90}}) {
        p.x = int16_t(x);
        p.y = int16_t(y);
        ASSERT_EQ(InsertPathPointAfter(path, int32_t(GetPathPointCount(path)) - 1, p), 0);
    }
    SetPathPointSelected(path, 2, true);
    EXPECT_TRUE(DrawAnimPath(dc, path, &bounds, false));
    EXPECT_EQ(bounds.left, 37);
    EXPECT_EQ(bounds.bottom, 93);
    // The colours as this DC shows them, in a corner the path does not reach.
    const COLORREF text = Shown(dc, TextColour(), 0, 110), eraser = Shown(dc, EraserColour(), 10, 110);
    EXPECT_TRUE(Near(GetPixel(dc, 41, 41), 255, 0, 0)) << "first point " << Rgb(GetPixel(dc, 41, 41));
    EXPECT_EQ(GetPixel(dc, 101, 41), eraser) << "inner point, the eraser colour " << Rgb(GetPixel(dc, 101, 41));
    EXPECT_TRUE(Near(GetPixel(dc, 101, 91), 255, 255, 0)) << "selected last point " << Rgb(GetPixel(dc, 101, 91));
    EXPECT_EQ(GetPixel(dc, 70, 40), text) << "the line between, in the text colour " << Rgb(GetPixel(dc, 70, 40));
    EXPECT_EQ(GetPixel(dc, 70, 45), ground);
    // With offset mode every point moves by minus the rectangle's corner.
    FillRect(dc, &all, grey);
    RECT corner = {30, 30, 0, 0};
    EXPECT_TRUE(DrawAnimPath(dc, path, &corner, true));
    EXPECT_TRUE(Near(GetPixel(dc, 11, 11), 255, 0, 0)) << Rgb(GetPixel(dc, 11, 11));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteObject(grey);
    DeleteDC(dc);
    ReleaseDC(window_, screen);
    ReleasePathRecord(path);
}

namespace {

// Window pixels taken when the editor's loop takes a probe message (a hook on the messages the
// thread takes), so that the path shows as it is mid-edit.
constexpr UINT kProbe = WM_APP + 51;
std::vector<POINT> g_probePoints;
std::vector<std::vector<COLORREF>> g_probes;
HWND g_probeWindow = nullptr;

LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && wParam == PM_REMOVE && msg->message == kProbe && msg->hwnd == g_probeWindow) {
        std::vector<COLORREF> shot;
        for (const POINT& p : g_probePoints)
            shot.push_back(WindowPixel(g_probeWindow, p.x, p.y));
        g_probes.push_back(shot);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Mouse(HWND window, UINT message, int x, int y, bool control = false) {
    const WPARAM keys = (message == WM_LBUTTONUP ? 0 : MK_LBUTTON) | (control ? MK_CONTROL : 0);
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}
void Click(HWND window, int x, int y, bool control = false) {
    Mouse(window, WM_LBUTTONDOWN, x, y, control);
    Mouse(window, WM_LBUTTONUP, x, y, control);
}
void Key(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 0); }
// The page closed under the edit, once the messages posted before have been taken.
void CALLBACK LeaveThePage(HWND, UINT, UINT_PTR, DWORD) { SetPageLeaving(true); }

PathPoint PointOf(Handle path, uint32_t index) {
    PathPoint p;
    p.x = p.y = -999;
    GetPathPoint(path, index, &p);
    return p;
}

}  // namespace

TEST_F(AnimPlaybackTest, ThePathEditorSelectsDragsInsertsDeletesAndEndsOnTheCard) {
    Handle sprite = 0, path = 0;
    ASSERT_EQ(NewSpriteHeader(&sprite), 0);
    ASSERT_EQ(NewPathRecord(&path, 1, {ResType("path"), 1}, {kSprt, 0}), 0);
    const int16_t xy[3][2] = {{30, 30}, {90, 30}, {90, 80}};
    for (int i = 0; i < 3; ++i) {
        PathPoint p;
        p.x = xy[i][0];
        p.y = xy[i][1];
        p.time = uint32_t(100 * (i + 1));
        ASSERT_EQ(InsertPathPointAfter(path, i - 1, p), 0);
    }
    SetSpritePath(sprite, path);
    ASSERT_EQ(PlayAnimRecord(HandleOf(sb::SpriteRecord(RedStripSprite())), 4), 1) << "something plays meanwhile";
    const HBITMAP snapshot = GetAnimOffscreen()->bitmap;
    g_probeWindow = window_;
    g_probePoints = {{31, 31}, {91, 31}, {91, 81}};
    g_probes.clear();
    // The eraser colour as the window shows it (the edit draws over this first).
    HDC windowDc = GetDC(window_);
    const COLORREF eraser = Shown(windowDc, EraserColour(), 150, 2);
    ReleaseDC(window_, windowDc);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, ProbeHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    // Marks as drawn, then the middle point selected by a click.
    PostMessageA(window_, kProbe, 0, 0);
    Click(window_, 90, 30);
    PostMessageA(window_, kProbe, 0, 0);
    Key(window_, VK_RETURN);
    EXPECT_TRUE(EditAnimPath(sprite, snapshot));
    ASSERT_EQ(g_probes.size(), 2u);
    EXPECT_TRUE(Near(g_probes[0][0], 255, 0, 0)) << "first point " << Rgb(g_probes[0][0]);
    EXPECT_EQ(g_probes[0][1], eraser) << "inner point, the eraser colour " << Rgb(g_probes[0][1]);
    EXPECT_TRUE(Near(g_probes[0][2], 255, 0, 0)) << "last point " << Rgb(g_probes[0][2]);
    EXPECT_TRUE(Near(g_probes[1][1], 255, 255, 0)) << "selected " << Rgb(g_probes[1][1]);
    EXPECT_EQ(PointOf(path, 1).selected, 1);

    // A click on the selected point deselects it and drags the others (the first, just selected).
    Click(window_, 30, 30);
    Mouse(window_, WM_LBUTTONDOWN, 90, 30);
    Mouse(window_, WM_MOUSEMOVE, 95, 35);
    Mouse(window_, WM_LBUTTONUP, 95, 35);
    Key(window_, VK_RETURN);
    EXPECT_TRUE(EditAnimPath(sprite, snapshot));
    EXPECT_EQ(PointOf(path, 0).x, 35);
    EXPECT_EQ(PointOf(path, 0).y, 35);
    EXPECT_EQ(PointOf(path, 1).x, 90) << "the deselected point stays";
    EXPECT_EQ(PointOf(path, 1).selected, 0);

    // Control-click: on a point deletes it; on a segment inserts one with the time of the point
    // before it.
    Click(window_, 90, 80, true);
    Click(window_, 57, 33, true);  // on the line from (35, 35) to (90, 30)
    Key(window_, VK_RETURN);
    EXPECT_TRUE(EditAnimPath(sprite, snapshot));
    ASSERT_EQ(GetPathPointCount(path), 3u);
    EXPECT_EQ(PointOf(path, 1).x, 57);
    EXPECT_EQ(PointOf(path, 1).y, 33);
    EXPECT_EQ(PointOf(path, 1).time, 100u);
    EXPECT_EQ(PointOf(path, 2).x, 90);

    // A control-drag inside the path's bounds moves the whole path and leaves nothing selected.
    Mouse(window_, WM_LBUTTONDOWN, 60, 36, true);
    Mouse(window_, WM_MOUSEMOVE, 66, 40, true);
    Mouse(window_, WM_MOUSEMOVE, 70, 46, true);
    Mouse(window_, WM_LBUTTONUP, 70, 46, true);
    Key(window_, VK_RETURN);
    EXPECT_TRUE(EditAnimPath(sprite, snapshot));
    const int16_t moved[3][2] = {{45, 45}, {67, 43}, {100, 40}};
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(PointOf(path, i).x, moved[i][0]) << i;
        EXPECT_EQ(PointOf(path, i).y, moved[i][1]) << i;
        EXPECT_EQ(PointOf(path, i).selected, 0) << i;
    }

    // The page closed in the middle of a drag: the path goes back as it was.
    Mouse(window_, WM_LBUTTONDOWN, 66, 42, true);
    Mouse(window_, WM_MOUSEMOVE, 80, 60, true);
    Mouse(window_, WM_LBUTTONUP, 80, 60, true);
    const UINT_PTR leave = SetTimer(nullptr, 0, 20, LeaveThePage);
    EXPECT_FALSE(EditAnimPath(sprite, snapshot));
    KillTimer(nullptr, leave);
    SetPageLeaving(false);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(PointOf(path, i).x, moved[i][0]) << i;
        EXPECT_EQ(PointOf(path, i).y, moved[i][1]) << i;
    }

    // With Control held, the keypad's 1 selects nothing and A selects every point; a click
    // outside the card ends the edit as Return does, gives back the tool without its change
    // rules (the playback goes on) and shows the card without the path.
    SetToolNumberQuietly(kArrowTool);
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), held);
    held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    Key(window_, 97);
    PostMessageA(window_, kProbe, 0, 0);
    Key(window_, 'A');
    Click(window_, kCardW + 10, 50);
    g_probePoints = {{46, 46}};
    g_probes.clear();
    EXPECT_TRUE(EditAnimPath(sprite, snapshot));
    SetKeyboardState(keys);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(g_probes.size(), 1u);
    EXPECT_TRUE(Near(g_probes[0][0], 255, 0, 0)) << "97 selected nothing " << Rgb(g_probes[0][0]);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(PointOf(path, i).selected, 1) << i;
    EXPECT_EQ(GetCurrentTool(), uint32_t(kArrowTool));
    EXPECT_TRUE(AnimWorldExists()) << "the playback was not released";
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFirstPoint), 0u);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteEndPoint), 3u);
    EXPECT_EQ(WindowPixel(window_, 46, 46), WindowPixel(window_, 10, 110))
        << "the card without the path " << Rgb(WindowPixel(window_, 46, 46));
    EXPECT_TRUE(Bluish(WindowPixel(window_, 46, 46))) << Rgb(WindowPixel(window_, 46, 46));
    SetToolNumberQuietly(kBrowseTool);
    DisposeSprite(sprite);
}
