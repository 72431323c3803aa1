// A movie on the card of the plug-in hosted in this program: a QTWindow over the card window
// plays a project-made AVI through QuickTime on the test clock with its bar below; clipped by
// the layer mask, a button lying over the movie stays as the card drew it, and a click on it
// passes through the movie window to the card, where the button takes it. Its first frame
// drawn into the card offscreen lies under the button, or over it for a movie over objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/elements/QTElements.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaElement.h"
#include "media/support/MediaWindows.h"
#include "media/support/PackedDib.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QtStandInSwitches.h"
#include "stack/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/RleAvi.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 160, kCardH = 120;
constexpr int kMovieW = 80, kMovieH = 60, kBarH = 16;
// The movie window in the card window: the movie, the bar below it.
constexpr RECT kWindowRect{40, 30, 40 + kMovieW, 30 + kMovieH + kBarH};
// The button lies over the movie's top left corner; the click goes to its part over the movie.
constexpr sb::Rect kButton{20, 20, 70, 50};
constexpr POINT kClick{50, 40};

// Pixels of a window's rectangle as 0x00RRGGBB, rows top first.
struct Shot {
    int width = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Shot CaptureDc(HDC dc, const RECT& r) {
    Shot shot;
    shot.width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), shot.width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, shot.width, height, dc, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(p, p + size_t(shot.width) * height);
    for (uint32_t& pixel : shot.pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return shot;
}

Shot Capture(HWND window, const RECT& r) {
    HDC dc = GetDC(window);
    const Shot shot = CaptureDc(dc, r);
    ReleaseDC(window, dc);
    return shot;
}

int Slack() {
    HDC screen = GetDC(nullptr);
    const int slack = GetDeviceCaps(screen, BITSPIXEL) == 16 ? 7 : 0;
    ReleaseDC(nullptr, screen);
    return slack;
}

bool Near(uint32_t got, uint8_t red, uint8_t green, uint8_t blue) {
    const int slack = Slack();
    return std::abs(int(got >> 16 & 255) - red) <= slack && std::abs(int(got >> 8 & 255) - green) <= slack &&
           std::abs(int(got & 255) - blue) <= slack;
}

// The part of the layer mask under the movie window, as a one-bit bitmap of the window's size.
HBITMAP MaskUnder(const RECT& r) {
    HBITMAP mask = GetLayerMaskBitmap();
    if (!mask)
        return nullptr;
    HBITMAP part = CreateBitmap(r.right - r.left, r.bottom - r.top, 1, 1, nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldFrom = SelectObject(from, mask), oldTo = SelectObject(to, part);
    BitBlt(to, 0, 0, r.right - r.left, r.bottom - r.top, from, r.left, r.top, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return part;
}

// Where no layer lies (white in the mask), by pixel of the window, rows top first.
std::vector<bool> OpenPixels(HBITMAP part, int width, int height) {
    std::vector<bool> open(size_t(width) * height);
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, part);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            open[size_t(y) * width + x] = (GetPixel(dc, x, y) & 0xFFFFFF) == 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    return open;
}

// The clip region the controller is given: the window's part of the layer mask as a region.
QtRgnHandle ClipFromMask(HBITMAP part) {
    DibHolder holder;
    HDC dc = CreateCompatibleDC(nullptr);
    const bool read = DibHolderFromBitmap(&holder, part, 1, dc);
    DeleteDC(dc);
    if (!read)
        return nullptr;
    const Handle bits = DibToQTBitMap(holder);
    QtRgnHandle region = nullptr;
    if (QtBitMap* map = bits ? LockQTBitMap(bits) : nullptr) {
        region = NewRgn();
        if (BitMapToRegion(region, map) != kQtNoErr) {
            DisposeRgn(region);
            region = nullptr;
        }
        UnlockHandle(bits);
    }
    if (bits)
        DisposeHandle(bits);
    DibFree(&holder);
    return region;
}

struct CardWindow : Window {};

// The element the media manager would keep: idled by its window, the controller's idle draws.
struct CardMovie : QTElement {
    int idles = 0;
    int Open(const Window&, int) override { return 0; }  // the test opens the movie itself
    int Idle() override {
        ++idles;
        MCIdle(controller);
        return IsMovieDone(movie) ? 1 : 0;
    }
};

class MovieOnCard : public LinkedPluginTest {};

TEST_F(MovieOnCard, PlaysItsFramesWithTheBarAndAButtonOverItStaysAndTakesTheClick) {
    SKIP_UNLESS_TRUE_COLOUR("the movie's frames are compared with their exact colours");
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0));
        card.picture->palette = {{255, 255, 255}};
        if (id == 1)
            card.objects.push_back(sb::ShapedButton(11, kButton, "Next", 2, 0, -1));
        stack.cards.push_back(card);
    }
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", "test");  // read as the library loads
    ASSERT_TRUE(Open(stack));
    ASSERT_EQ(GetCurrentCardId(), 1);
    const HWND cardWindow = GetCardWindow();
    ASSERT_NE(cardWindow, nullptr);
    UpdateWindow(cardWindow);
    PumpPageMessages();
    const Shot before = Capture(cardWindow, kWindowRect);

    // The mask under the window: the button's corner closed, the rest of the movie open.
    HBITMAP part = MaskUnder(kWindowRect);
    ASSERT_NE(part, nullptr) << "the card has a layer mask";
    const std::vector<bool> open = OpenPixels(part, kMovieW, kMovieH + kBarH);
    const int clickX = kClick.x - kWindowRect.left, clickY = kClick.y - kWindowRect.top;
    ASSERT_FALSE(open[size_t(clickY) * kMovieW + clickX]) << "the button lies over the movie there";
    ASSERT_TRUE(open[size_t(kMovieH - 5) * kMovieW + kMovieW - 5]);
    int buttonInk = 0;  // the button's own drawing under the mask, not the card's white
    for (int y = 0; y < kMovieH; ++y)
        for (int x = 0; x < kMovieW; ++x)
            buttonInk += !open[size_t(y) * kMovieW + x] && !Near(before.At(x, y), 255, 255, 255);
    EXPECT_GT(buttonInk, 0) << "the button shows over the movie's place";

    // The movie window, its movie opened through QuickTime and shown with the bar.
    WNDCLASSA movieClass{};
    ASSERT_TRUE(GetClassInfoA(GetAppInstance(), kQTWindowClass, &movieClass)) << "the media manager registered it";
    const std::string avi = [] {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        return std::string(folder) + "movie-card-" + ProcessTag() + ".avi";
    }();
    const std::vector<uint8_t> bytes = FourFrameRleAvi(kMovieW, kMovieH);
    std::ofstream(avi, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    CardWindow card;
    card.window = cardWindow;
    CardMovie element;
    element.rect = kWindowRect;
    element.flags = kMediaFlagController;
    auto* window = new QTWindow(&element, card);
    element.window = window;
    ASSERT_NE(window->window, nullptr);
    element.movie = OpenMovieAtPath(avi);
    ASSERT_NE(element.movie, nullptr);
    const QtRect box{0, 0, kMovieH, kMovieW};
    element.controller = NewMovieController(element.movie, &box, kMcTopLeftMovie | kMcScaleMovieToFit);
    ASSERT_NE(element.controller, nullptr);
    EXPECT_EQ(MCSetControllerPort(element.controller, window->GetPort()), kQtNoErr);
    QtRect bounds{};
    MCGetControllerBoundsRect(element.controller, &bounds);
    EXPECT_EQ(bounds.bottom, kMovieH + kBarH);
    element.clip = ClipFromMask(part);
    ASSERT_NE(element.clip, nullptr);
    EXPECT_EQ(MCSetClip(element.controller, element.clip, element.clip), kQtNoErr);
    window->Show(SW_SHOWNA);
    PumpPageMessages();

    // Played on the test clock, each frame idled onto the window in its colour; the button's
    // pixels stay, and the bar is below: its grey and its play button's black.
    ASSERT_EQ(MCDoAction(element.controller, kMcActionPlay, kQtFixed1), kQtNoErr);
    for (int k = 0; k < 4; ++k) {
        QTAdvanceTestClock(k == 0 ? 50 : 100);
        const int idles = element.idles;
        SendMessageA(window->window, WM_NULL, 0, 0);
        EXPECT_EQ(element.idles, idles + 1) << "the window idles its element";
        const Shot shot = Capture(cardWindow, kWindowRect);
        const uint8_t* c = kRleAviPalette[k + 1];
        int wrongMovie = 0, wrongButton = 0;
        for (int y = 0; y < kMovieH; ++y) {
            for (int x = 0; x < kMovieW; ++x) {
                if (open[size_t(y) * kMovieW + x])
                    wrongMovie += !Near(shot.At(x, y), c[2], c[1], c[0]);
                else
                    wrongButton += shot.At(x, y) != before.At(x, y);
            }
        }
        EXPECT_EQ(wrongMovie, 0) << "frame " << k << " fills the open part of the movie";
        EXPECT_EQ(wrongButton, 0) << "frame " << k << " leaves the button as it was";
        EXPECT_TRUE(Near(shot.At(17, kMovieH + 8), 212, 208, 200)) << std::hex << shot.At(17, kMovieH + 8);
        EXPECT_TRUE(Near(shot.At(6, kMovieH + 8), 0, 0, 0)) << std::hex << shot.At(6, kMovieH + 8);
    }

    // A press at the button's part over the movie arrives at the movie window, which passes it
    // to the card: the button is pressed (capture, hilite). The release arrives at the card
    // window, which holds the capture; released there, the button goes to the next card.
    const Shot unpressed = Capture(cardWindow, kWindowRect);
    EXPECT_EQ(SendMessageA(window->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(clickX, clickY)), 1);
    EXPECT_EQ(GetCapture(), cardWindow) << "the button tracks the press";
    const Shot pressed = Capture(cardWindow, kWindowRect);
    EXPECT_NE(pressed.At(clickX, clickY), unpressed.At(clickX, clickY)) << "highlighted";
    EXPECT_EQ(GetCurrentCardId(), 1);
    SendMessageA(cardWindow, WM_LBUTTONUP, 0, MAKELPARAM(kClick.x, kClick.y));
    PumpPageMessages();
    EXPECT_EQ(GetCurrentCardId(), 2) << "the button's action ran";

    element.Close();  // the window, the controller, the movie and the clip are the element's
    DeleteObject(part);
    CloseLinkedPlugin(&page);
    EXPECT_FALSE(GetClassInfoA(GetAppInstance(), kQTWindowClass, &movieClass)) << "gone with the manager";
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", nullptr);
    DeleteFileA(avi.c_str());
}

// A movie element made from the action record of a card object, its first frame drawn into the
// card offscreen (flag 4): the frame fills the movie's rectangle and the card's button over it
// is drawn again on top, unless the movie lies over the objects (flag 0x10).
TEST_F(MovieOnCard, FirstFrameGoesUnderTheButtonsInTheOffscreenUnlessOverObjects) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    card.objects.push_back(sb::ShapedButton(11, kButton, "Over", 2));
    stack.cards.push_back(card);
    ASSERT_TRUE(Open(stack));
    const HWND cardWindow = GetCardWindow();
    ASSERT_NE(cardWindow, nullptr);
    UpdateWindow(cardWindow);
    PumpPageMessages();
    HBITMAP part = MaskUnder(kWindowRect);
    ASSERT_NE(part, nullptr);
    const std::vector<bool> open = OpenPixels(part, kMovieW, kMovieH);
    DeleteObject(part);
    const RECT movieRect{kWindowRect.left, kWindowRect.top, kWindowRect.left + kMovieW, kWindowRect.top + kMovieH};
    const Shot shown = Capture(cardWindow, movieRect);  // the card with its button

    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string avi = std::string(folder) + "movie-still-" + ProcessTag() + ".avi";
    const std::vector<uint8_t> bytes = FourFrameRleAvi(kMovieW, kMovieH);
    std::ofstream(avi, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    CardWindow target;
    target.window = cardWindow;
    const uint8_t* first = kRleAviPalette[1];
    for (const uint32_t flags : {kMediaFlagFirstFrame, kMediaFlagFirstFrame | kMediaFlagOverObjects}) {
        SCOPED_TRACE(flags);
        std::vector<uint8_t> record(kChunkHeaderBytes, 0);
        const int16_t fields[] = {21, int16_t(movieRect.left), int16_t(movieRect.top), int16_t(movieRect.right),
                                  int16_t(movieRect.bottom)};
        std::memcpy(record.data() + kObjectId, fields, sizeof fields);
        std::memcpy(record.data() + kChunkValue, &flags, sizeof flags);
        QTMovieElement element(record, avi.c_str());
        ASSERT_EQ(element.Open(target, 0), 1);
        WindowDC screen(cardWindow);
        HDC offscreen = AcquireOffscreenDC(screen.get());
        ASSERT_NE(offscreen, nullptr);
        element.DrawStill(offscreen);
        const Shot still = CaptureDc(offscreen, movieRect);
        ReleaseOffscreenDC(offscreen);
        int frame = 0, button = 0, buttonKept = 0;
        for (int y = 0; y < kMovieH; ++y) {
            for (int x = 0; x < kMovieW; ++x) {
                const bool isFrame = Near(still.At(x, y), first[2], first[1], first[0]);
                if (open[size_t(y) * kMovieW + x]) {
                    frame += isFrame;
                } else {
                    ++button;
                    const uint32_t was = shown.At(x, y);
                    buttonKept += !isFrame && Near(still.At(x, y), was >> 16 & 255, was >> 8 & 255, was & 255);
                }
            }
        }
        ASSERT_GT(button, 0);
        EXPECT_EQ(frame, kMovieW * kMovieH - button) << "frame 0 where no object lies";
        if (flags & kMediaFlagOverObjects)
            EXPECT_EQ(buttonKept, 0) << "the frame over the button as well";
        else
            EXPECT_EQ(buttonKept, button) << "the button drawn over the frame";
        element.Close();
    }
    CloseLinkedPlugin(&page);
    DeleteFileA(avi.c_str());
}

}  // namespace
