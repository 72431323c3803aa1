// The AVI element under Wine's MCIWnd, on AVI files the builder writes: placement and
// measuring, the play bar's height, the end notification with and without looping, the volume
// left alone, the still of the current frame, and an MPEG file that opens nothing.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "core/memory/Handles.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/elements/AVIElement.h"
#include "media/support/MediaWindows.h"
#include "tests/media/CardDrag_win.h"
#include "tests/support/DialogDriver_win.h"

namespace {

constexpr int kCardW = 640, kCardH = 480;
constexpr int kMovieW = 32, kMovieH = 24;
constexpr std::array<stackbuilder::AviColour, 4> kFrames = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};

// Only the card window: the element's windows are its children.
class CardWindow : public Window {
public:
    explicit CardWindow(HWND w) { window = w; }
};

std::string WriteTemp(const char* name, const std::vector<uint8_t>& bytes) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

COLORREF CentrePixel(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, info.bmWidth / 2, info.bmHeight / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class AVIElementTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitMemRefs();
        card_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kCardW, kCardH, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_EQ(InitDataBase(card_, kCardW, kCardH, 24, false), 1);
        ASSERT_EQ(LoadVideoForWindows(), 1);
    }
    void TearDown() override {
        UnloadVideoForWindows(kMediaVideoForWindows);
        FreeOffscreenObjects();
        DestroyWindow(card_);
        FreeMemRefs();
    }
    HWND card_ = nullptr;
};

TEST_F(AVIElementTest, PlacedMeasuredAndSizedWithItsPlayBar) {
    const std::string avi = WriteTemp("loom_avi_rle.avi", stackbuilder::AviFile(kMovieW, kMovieH, 10, kFrames, true));
    CardWindow target(card_);

    AVIElement bare(avi.c_str());
    EXPECT_EQ(bare.state, kMediaStateOwnWindow);
    EXPECT_EQ(bare.volume, 255);
    ASSERT_EQ(bare.Open(target, 0), 1);
    const RECT centred{(kCardW - kMovieW) / 2, (kCardH - kMovieH) / 2, (kCardW + kMovieW) / 2, (kCardH + kMovieH) / 2};
    EXPECT_TRUE(EqualRect(&bare.rect, &centred)) << bare.rect.left << "," << bare.rect.top << "," << bare.rect.right;
    const RECT placed = ChildRect(bare.MovieWindow());
    EXPECT_EQ(GetParent(bare.MovieWindow()), card_);
    EXPECT_TRUE(EqualRect(&placed, &centred)) << "without the controller flag the window is the movie";
    bare.Close();
    EXPECT_EQ(bare.MovieWindow(), nullptr);

    AVIElement barred(avi.c_str());
    barred.flags = kMediaFlagController;
    ASSERT_EQ(barred.Open(target, 0), 1);
    const RECT withBar = ChildRect(barred.MovieWindow());
    EXPECT_EQ(withBar.bottom - withBar.top, kMovieH + kAVIPlayBarHeight);
    EXPECT_EQ(withBar.right - withBar.left, kMovieW);

    // From a record: its rectangle, id, volume and flags; measured from the movie's source.
    std::array<uint8_t, 40> record{};
    record[2] = 7;
    record[4] = 10, record[6] = 20, record[8] = 42, record[10] = 44;
    record[16] = 0x20;
    record[20] = 99;
    AVIElement recorded{std::span<const uint8_t>(record), avi.c_str()};
    EXPECT_EQ(recorded.objectId, 7);
    EXPECT_EQ(recorded.volume, 99);
    EXPECT_EQ(recorded.flags, 0x20u);
    EXPECT_EQ(recorded.state, kMediaStateOwnWindow);
    EXPECT_EQ(recorded.rect.right, 42);
    std::array<uint8_t, 40> measured{};
    AVIElement measuring(avi.c_str());
    ASSERT_EQ(measuring.Measure(measured), 1);
    EXPECT_EQ(measured[20] | measured[21] << 8, 128) << "AVI movies are measured at half volume";
    EXPECT_EQ(measured[16], 0x91);
    EXPECT_EQ(int16_t(measured[4] | measured[5] << 8), centred.left);
    EXPECT_EQ(int16_t(measured[6] | measured[7] << 8), centred.top);
    EXPECT_EQ(int16_t(measured[8] | measured[9] << 8), centred.right);
    EXPECT_EQ(int16_t(measured[10] | measured[11] << 8), centred.bottom);

    // Chosen for a card object: placed with its still as the preview by a drag on the card
    // window, then closed; asked to be placed again from the options dialog, it is placed again
    // until another answer comes.
    AVIElement chosen(avi.c_str());
    {
        CardDrag drag(card_, -5, 7);
        ASSERT_EQ(chosen.PrepareStill(), 1);
        EXPECT_EQ(drag.Drags(), 1);
    }
    RECT dragged = centred;
    OffsetRect(&dragged, -5, 7);
    EXPECT_TRUE(EqualRect(&chosen.rect, &dragged));
    EXPECT_EQ(chosen.objectId, -1);
    EXPECT_EQ(chosen.flags, uint32_t(kMediaFlagOverObjects));
    EXPECT_NE(chosen.still, nullptr);
    EXPECT_EQ(chosen.MovieWindow(), nullptr) << "closed once placed";
    {
        CardDrag drag(card_, 4, 3);
        DialogDriver options(15000);
        options.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) { box.Press(kMovieOptionsPlaceAgain); });
        options.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_EQ(options.Run([&] { return chosen.ShowOptions(); }), 2);
        EXPECT_EQ(drag.Drags(), 1);
    }
    OffsetRect(&dragged, 4, 3);
    EXPECT_TRUE(EqualRect(&chosen.rect, &dragged));

    // A sound has no picture: 220 by 0 centred, sound only; the bar still adds its height.
    const std::vector<uint8_t> samples(800, 128);
    const std::string wav = WriteTemp("loom_avi_sound.wav", stackbuilder::WaveFile(1, 8000, 8, samples));
    AVIElement sound(wav.c_str());
    sound.flags = kMediaFlagController;
    std::array<uint8_t, 40> soundRecord{};
    if (sound.Measure(soundRecord) == 1) {
        EXPECT_EQ(soundRecord[16] | soundRecord[17] << 8, 0x2000 | 0x91);
        EXPECT_EQ(soundRecord[20], 128);
        EXPECT_EQ(int16_t(soundRecord[4] | soundRecord[5] << 8), (kCardW - 220) / 2);
        EXPECT_EQ(int16_t(soundRecord[8] | soundRecord[9] << 8), (kCardW + 220) / 2);
        EXPECT_EQ(int16_t(soundRecord[6] | soundRecord[7] << 8), kCardH / 2);
        EXPECT_EQ(int16_t(soundRecord[10] | soundRecord[11] << 8), kCardH / 2);
        const RECT bar = ChildRect(sound.MovieWindow());
        EXPECT_EQ(bar.bottom - bar.top, kAVIPlayBarHeight);
    } else {
        ADD_FAILURE() << "MCIWnd could not open the wave file";
    }
    std::remove(wav.c_str());
    std::remove(avi.c_str());
}

TEST_F(AVIElementTest, EndNotificationReplaysOrHidesAndTheStillFollowsTheFrame) {
    for (const bool rle : {false, true}) {
        SCOPED_TRACE(rle ? "rle" : "raw");
        const std::string avi = WriteTemp(rle ? "loom_avi_n_rle.avi" : "loom_avi_n_raw.avi",
                                          stackbuilder::AviFile(kMovieW, kMovieH, 10, kFrames, rle));
        CardWindow target(card_);

        AVIElement still(avi.c_str());
        still.flags = kMediaFlagFirstFrame;
        ASSERT_EQ(still.Open(target, 0), 1);
        HDC screen = GetDC(card_);
        HBITMAP frame0 = still.DrawToDC(screen, nullptr);
        ASSERT_NE(frame0, nullptr);
        BITMAP info{};
        GetObjectA(frame0, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, kMovieW);
        EXPECT_EQ(info.bmHeight, kMovieH);
        EXPECT_EQ(CentrePixel(frame0), RGB(255, 0, 0)) << "the still of a fresh movie is frame 0";
        DeleteObject(frame0);
        SendMessageA(still.MovieWindow(), 0x0807 /* seek */, 0, 2);
        HBITMAP frame2 = still.DrawToDC(screen, nullptr);
        ASSERT_NE(frame2, nullptr);
        EXPECT_EQ(CentrePixel(frame2), RGB(0, 0, 255));
        DeleteObject(frame2);
        // Drawn on the card at its rectangle only with flag 0x4, and not once done.
        HDC surface = CreateCompatibleDC(screen);
        HBITMAP page = CreateCompatibleBitmap(screen, kCardW, kCardH);
        HGDIOBJ oldPage = SelectObject(surface, page);
        PatBlt(surface, 0, 0, kCardW, kCardH, WHITENESS);
        const POINT mid{(still.rect.left + still.rect.right) / 2, (still.rect.top + still.rect.bottom) / 2};
        still.flags = 0;
        still.DrawStill(surface);
        EXPECT_EQ(GetPixel(surface, mid.x, mid.y), RGB(255, 255, 255));
        still.flags = kMediaFlagFirstFrame;
        still.DrawStill(surface);
        EXPECT_EQ(GetPixel(surface, mid.x, mid.y), RGB(0, 0, 255)) << "the current frame";
        EXPECT_EQ(GetPixel(surface, still.rect.right + 1, mid.y), RGB(255, 255, 255));
        SelectObject(surface, oldPage);
        DeleteObject(page);
        DeleteDC(surface);
        ReleaseDC(card_, screen);

        // Without looping: at the end it stays there, done, and hides with flag 0x8.
        AVIElement once(avi.c_str());
        once.flags = kMediaFlagEraseWhenDone;
        ASSERT_EQ(once.Open(target, 0), 1);
        EXPECT_EQ(once.Play(), 0);
        EXPECT_TRUE(IsWindowVisible(once.MovieWindow()));
        HWND w = once.MovieWindow();
        EXPECT_EQ(once.Idle(), 0) << "just started";
        // Played to its end (0.4 s), the notification finds it there.
        for (int i = 0; i < 500 && SendMessageA(w, WM_USER + 106 /* mode */, 0, 0) == 526 /* playing */; ++i) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
            Sleep(10);
        }
        const LRESULT last = SendMessageA(w, WM_USER + 102, 0, 0);
        EXPECT_GE(last + 1, SendMessageA(w, WM_USER + 105, 0, 0)) << "played to the last frame";
        AVIOnMCIWndNotify(once, w);
        EXPECT_NE(once.state & kMediaStateDone, 0u);
        EXPECT_FALSE(IsWindowVisible(w));
        EXPECT_EQ(SendMessageA(w, WM_USER + 102, 0, 0), last) << "stays at the end";
        AVIOnMCIWndNotify(once, card_);  // another window: not this element's
        EXPECT_EQ(once.Play(), 0);
        EXPECT_TRUE(IsWindowVisible(w)) << "played again, it shows";

        // Looping: the end notification plays it again from the start.
        AVIElement looping(avi.c_str());
        looping.flags = kMediaFlagLoop;
        ASSERT_EQ(looping.Open(target, 0), 1);
        HWND l = looping.MovieWindow();
        SendMessageA(l, 0x0807, 0, -2);
        ASSERT_GE(SendMessageA(l, WM_USER + 102, 0, 0) + 1, SendMessageA(l, WM_USER + 105, 0, 0));
        AVIOnMCIWndNotify(looping, l);
        EXPECT_LT(SendMessageA(l, WM_USER + 102, 0, 0) + 1, SendMessageA(l, WM_USER + 105, 0, 0)) << "started again";
        EXPECT_EQ(looping.Idle(), 0);
        EXPECT_TRUE(IsWindowVisible(l));
        EXPECT_EQ(looping.state & kMediaStateDone, 0u);

        // The volume is the window's own: SetVolume leaves it; flag 0x80 applies it on Play.
        const int before = looping.GetVolume();
        looping.SetVolume(3);
        EXPECT_EQ(looping.GetVolume(), before);
        looping.Close();
        std::remove(avi.c_str());
    }
}

TEST_F(AVIElementTest, AnMpegWithoutDecoderOpensNothingAndHasNoStill) {
    // A pack header and the end code: nothing any decoder can show.
    const std::vector<uint8_t> mpeg = {0, 0, 1, 0xBA, 0x21, 0, 1, 0, 1, 0x80, 0, 1, 0, 0, 1, 0xB9};
    const std::string path = WriteTemp("loom_avi_empty.mpg", mpeg);
    CardWindow target(card_);
    CoInitialize(nullptr);
    AVIElement movie(path.c_str());
    movie.flags = kMediaFlagFirstFrame;
    EXPECT_EQ(movie.Open(target, 0), 0);
    HDC screen = GetDC(card_);
    EXPECT_EQ(movie.DrawToDC(screen, nullptr), nullptr);
    movie.rect = RECT{0, 0, 16, 16};
    movie.DrawStill(screen);  // no bitmap: nothing drawn, no crash
    ReleaseDC(card_, screen);
    EXPECT_NE(movie.Play(), 0) << "nothing open: nothing plays";
    EXPECT_EQ(movie.Idle(), 1);
    CoUninitialize();
    std::remove(path.c_str());
}

}  // namespace

TEST_F(AVIElementTest, TheOptionsDialogGivesAnAviWindowsPlayBarItsTwentySixPixels) {
    const std::string avi = WriteTemp("loom_avi_options.avi", stackbuilder::AviFile(kMovieW, kMovieH, 10, kFrames, true));
    AVIElement movie(avi.c_str());
    movie.rect = {10, 10, 10 + kMovieW, 10 + kMovieH};
    const auto height = [&] {
        RECT r{};
        GetWindowRect(movie.MovieWindow(), &r);
        return int(r.bottom - r.top);
    };
    int bare = -1, withBar = -1;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("QT_OPTIONS"), [&](DialogView& box) {
        EXPECT_EQ(GetParent(movie.MovieWindow()), box.Window()) << "playing in the dialog";
        bare = height();
        box.SetChecked(53, true);
        withBar = height();
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunMovieOptions(card_, &movie); }), IDCANCEL);
    EXPECT_EQ(withBar - bare, 26);
    EXPECT_EQ(movie.MovieWindow(), nullptr) << "closed";
}
