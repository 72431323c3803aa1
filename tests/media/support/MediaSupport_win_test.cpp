// The media layer's DIB holders, bitmap blend and movie windows over the stand-in QuickTime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "host/palettes/ToolPalette.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaElement.h"
#include "media/support/MediaWindows.h"
#include "media/support/PackedDib.h"
#include "quicktime/QtCalls.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"

namespace {

// A screen-compatible bitmap of solid colours, one per row (top first).
HBITMAP RowsBitmap(int width, const std::vector<COLORREF>& rows) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, static_cast<int>(rows.size()));
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < width; ++x)
            SetPixel(memory, x, static_cast<int>(y), rows[y]);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<uint8_t> GlobalBytes(HGLOBAL block) {
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    std::vector<uint8_t> bytes(p, p + GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

// Over the library, and over the stand-in linked as the player links it.
class MediaSupportTest : public ::testing::TestWithParam<bool> {
protected:
    QuickTimeVariant variant_{GetParam()};
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        if (!GetAppInstance())
            SetAppInstance(GetModuleHandleA(nullptr));
        ASSERT_EQ(QTBind(0), kQtNoErr);
        screen_ = GetDC(nullptr);
    }
    void TearDown() override {
        ReleaseDC(nullptr, screen_);
        QTRelease();
    }
    HDC screen_ = nullptr;
};

TEST_P(MediaSupportTest, DibHoldersBetweenBitmapsSectionsAndPackedDibs) {
    const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);
    HBITMAP source = RowsBitmap(3, {kRed, kBlue});
    DibHolder holder;
    ASSERT_TRUE(DibHolderFromBitmap(&holder, source, 24, screen_));
    EXPECT_EQ(holder.width, 3);
    EXPECT_EQ(holder.height, 2);
    EXPECT_EQ(holder.bitsPerPixel, 24);
    {
        HandleLock lock(holder.header);
        PackedDibView dib;
        ASSERT_TRUE(ReadPackedDib(lock.bytes(), &dib));
        EXPECT_EQ(dib.height, -2) << "rows top first";
        EXPECT_EQ((std::vector<uint8_t>(dib.image.begin(), dib.image.begin() + 3)), (std::vector<uint8_t>{0, 0, 255}))
            << "the red row first (blue, green, red)";
    }
    HGLOBAL copy = DibToGlobal(holder);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GlobalBytes(copy), HandleToBytes(holder.header));
    HBITMAP back = DibHolderToBitmap(holder, screen_);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitmapPixel(back, 2, 0), kRed);
    EXPECT_EQ(BitmapPixel(back, 0, 1), kBlue);
    DeleteObject(back);

    // A section copies a source only of its own geometry; anything else leaves it white.
    const std::vector<uint8_t> packed = HandleToBytes(holder.header);
    struct Case { const char* what; std::vector<uint8_t> source; COLORREF top; };
    std::vector<uint8_t> cut(packed.begin(), packed.end() - 1);
    std::vector<uint8_t> wider = packed;
    wider[4] = 4;
    const Case cases[] = {
        {"same geometry", packed, kRed},
        {"one byte short", cut, kWhite},
        {"other width", wider, kWhite},
        {"none", {}, kWhite},
    };
    for (const Case& c : cases) {
        DibHolder section;
        HBITMAP bitmap = MakeDibSection(&section, 3, 2, screen_, c.source);
        ASSERT_NE(bitmap, nullptr) << c.what;
        ASSERT_NE(section.sectionBits, nullptr) << c.what;
        EXPECT_EQ(BitmapPixel(bitmap, 1, 0), c.top) << c.what;
        if (c.top == kRed) {
            // Packed again: rows bottom first, read back the right way up.
            HGLOBAL block = DibSectionToPackedDib(section);
            ASSERT_NE(block, nullptr);
            const std::vector<uint8_t> again = GlobalBytes(block);
            GlobalFree(block);
            PackedDibView view;
            ASSERT_TRUE(ReadPackedDib(again, &view));
            EXPECT_EQ(view.height, 2);
            EXPECT_EQ(view.image[0], 255) << "the blue row first";
            DibHolder reread;
            ASSERT_TRUE(DibHolderFromPackedDib(&reread, again));
            HBITMAP shown = DibHolderToBitmap(reread, screen_);
            EXPECT_EQ(BitmapPixel(shown, 0, 0), kRed);
            EXPECT_EQ(BitmapPixel(shown, 0, 1), kBlue);
            DeleteObject(shown);
            DibFree(&reread);
        }
        DeleteObject(bitmap);
        DibFree(&section);
        EXPECT_EQ(section.header, 0);
        EXPECT_EQ(section.sectionBits, nullptr);
    }

    // A damaged packed DIB leaves the holder as it was.
    const Handle before = holder.header;
    EXPECT_FALSE(DibHolderFromPackedDib(&holder, cut));
    EXPECT_EQ(holder.header, before);
    DibFree(&holder);
    GlobalFree(copy);
    DeleteObject(source);
}

TEST_P(MediaSupportTest, OneBitDibsBecomeQuickTimeBitMapsAndRegions) {
    // 10 x 3, the left 4 pixels white: Mac rows of 2 bytes against DIB rows of 4.
    HBITMAP mask = CreateBitmap(10, 3, 1, 1, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, mask);
    PatBlt(memory, 0, 0, 10, 3, BLACKNESS);
    PatBlt(memory, 0, 0, 4, 3, WHITENESS);
    PatBlt(memory, 0, 2, 10, 1, WHITENESS);  // the last row all white
    SelectObject(memory, old);
    DibHolder holder;
    ASSERT_TRUE(DibHolderFromBitmap(&holder, mask, 1, memory));
    DeleteDC(memory);
    const Handle bits = DibToQTBitMap(holder);
    ASSERT_NE(bits, 0);
    QtBitMap* map = LockQTBitMap(bits);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->rowBytes, 2);
    EXPECT_EQ((std::vector<int>{map->bounds.top, map->bounds.left, map->bounds.bottom, map->bounds.right}),
              (std::vector<int>{0, 0, 3, 10}));
    EXPECT_EQ((std::vector<uint8_t>(map->baseAddr, map->baseAddr + 6)), (std::vector<uint8_t>{0xF0, 0x00, 0xF0, 0x00, 0xFF, 0xC0}));
    QtRgnHandle region = NewRgn();
    ASSERT_EQ(BitMapToRegion(region, map), kQtNoErr);
    UnlockHandle(bits);
    EXPECT_TRUE(PtInRgn(QtPoint{0, 3}, region));
    EXPECT_FALSE(PtInRgn(QtPoint{0, 4}, region));
    EXPECT_TRUE(PtInRgn(QtPoint{2, 9}, region));
    DisposeRgn(region);
    DisposeHandle(bits);
    DibFree(&holder);
    DeleteObject(mask);
}

TEST_P(MediaSupportTest, BlendsWhiteOverBlackByThePercentage) {
    HBITMAP white = RowsBitmap(4, {RGB(255, 255, 255), RGB(255, 255, 255)});
    HBITMAP black = RowsBitmap(4, {RGB(0, 0, 0), RGB(0, 0, 0)});
    struct Case { int percent; int low, high; };
    for (const Case c : {Case{50, 127, 128}, Case{100, 255, 255}, Case{0, 0, 0}}) {
        HBITMAP blended = QTBlendBitmaps(screen_, white, black, c.percent);
        ASSERT_NE(blended, nullptr) << c.percent;
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        uint32_t pixels[8] = {};
        ASSERT_EQ(GetDIBits(screen_, blended, 0, 2, pixels, &info, DIB_RGB_COLORS), 2) << c.percent;
        for (uint32_t p : pixels) {
            for (int shift : {0, 8, 16}) {
                const int channel = static_cast<int>((p >> shift) & 0xFF);
                EXPECT_TRUE(channel >= c.low && channel <= c.high) << c.percent << "%: " << channel;
            }
        }
        DeleteObject(blended);
    }
    DeleteObject(white);
    DeleteObject(black);
}

// A card window that records the presses it gets.
struct CardLog {
    std::vector<POINT> presses;
};
CardLog g_card;
constexpr LRESULT kCardAnswer = 7;

LRESULT CALLBACK CardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        g_card.presses.push_back(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return kCardAnswer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct CardWindow : Window {};

struct TestMovie : QTElement {
    int idles = 0;
    int Open(const Window&, int) override { return 0; }
    int Idle() override {
        ++idles;
        // Drawing sends messages back to the movie's window; they must not idle again.
        if (window)
            SendMessageA(window->window, WM_NULL, 0, 0);
        return 0;
    }
};

HCURSOR IBeam() { return LoadCursor(nullptr, IDC_IBEAM); }

TEST_P(MediaSupportTest, AMovieWindowPassesTheMouseOutsideItsClipToTheCard) {
    ASSERT_TRUE(RegisterQTWindowClass(GetAppInstance()));
    WNDCLASSA wc{};
    wc.lpfnWndProc = CardProc;
    wc.hInstance = GetAppInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_CROSS);
    wc.lpszClassName = "MediaSupportTestCard";
    RegisterClassA(&wc);
    CardWindow card;
    card.window = CreateWindowA(wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, GetAppInstance(), nullptr);
    ASSERT_NE(card.window, nullptr);
    g_card = {};
    SetMediaToolCursorHook(IBeam);

    TestMovie movie;
    movie.rect = RECT{20, 30, 100, 90};
    // A controller the library does not know: it answers the events with an error.
    movie.controller = reinterpret_cast<QtMovieController>(&movie);
    QTWindow* qtWindow = new QTWindow(&movie, card);
    movie.window = qtWindow;
    ASSERT_NE(qtWindow->window, nullptr);
    EXPECT_NE(qtWindow->GetPort(), nullptr) << "associated on creation";
    EXPECT_EQ(GetParent(qtWindow->window), card.window);
    EXPECT_EQ(qtWindow->GetLong(GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&movie));

    // Visible where the mask's left half is white: x below 40.
    HBITMAP mask = CreateBitmap(80, 60, 1, 1, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, mask);
    PatBlt(memory, 0, 0, 80, 60, BLACKNESS);
    PatBlt(memory, 0, 0, 40, 60, WHITENESS);
    SelectObject(memory, old);
    DibHolder holder;
    ASSERT_TRUE(DibHolderFromBitmap(&holder, mask, 1, memory));
    DeleteDC(memory);
    DeleteObject(mask);
    const Handle bits = DibToQTBitMap(holder);
    movie.clip = NewRgn();
    ASSERT_EQ(BitMapToRegion(movie.clip, LockQTBitMap(bits)), kQtNoErr);
    UnlockHandle(bits);
    DisposeHandle(bits);
    DibFree(&holder);

    // Outside the clip, over a card object: the press goes to the card at card coordinates,
    // with the card's cursor, and the movie window answers 1.
    SetCursor(nullptr);
    const int idlesBefore = movie.idles;
    EXPECT_EQ(SendMessageA(qtWindow->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10)), 1);
    EXPECT_EQ(movie.idles, idlesBefore + 1) << "one idle, none for the nested message";
    ASSERT_EQ(g_card.presses.size(), 1u);
    EXPECT_EQ(g_card.presses[0].x, 80);
    EXPECT_EQ(g_card.presses[0].y, 40);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_CROSS));

    // On the visible movie: the tool's cursor, and the press still reaches the card.
    EXPECT_EQ(SendMessageA(qtWindow->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)), kCardAnswer);
    ASSERT_EQ(g_card.presses.size(), 2u);
    EXPECT_EQ(g_card.presses[1].x, 30);
    EXPECT_EQ(GetCursor(), IBeam());

    // Played over objects (so never clipped): the card hears nothing.
    DisposeRgn(movie.clip);
    movie.clip = nullptr;
    movie.flags = kMediaFlagOverObjects;
    EXPECT_EQ(SendMessageA(qtWindow->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10)), 0);
    EXPECT_EQ(g_card.presses.size(), 2u);
    EXPECT_EQ(SendMessageA(qtWindow->window, WM_ERASEBKGND, 0, 0), 1);

    // A done element idles no more.
    movie.state |= kMediaStateDone;
    const int idlesDone = movie.idles;
    SendMessageA(qtWindow->window, WM_NULL, 0, 0);
    EXPECT_EQ(movie.idles, idlesDone);

    // Moves keep the rectangle; destruction clears the user data and the window.
    qtWindow->Move(RECT{10, 10, 50, 40}, false);
    EXPECT_EQ(qtWindow->rect.right, 50);
    qtWindow->Resize(60, 20);
    RECT client = qtWindow->ClientRect();
    EXPECT_EQ(client.right, 60);
    EXPECT_EQ(client.bottom, 20);
    EXPECT_EQ(qtWindow->rect.bottom, 30);
    const HWND movieWindow = qtWindow->window;
    delete qtWindow;
    movie.window = nullptr;
    movie.controller = nullptr;  // the library's own would be disposed with the element
    EXPECT_FALSE(IsWindow(movieWindow));
    EXPECT_EQ(GetNativeWindowPort(movieWindow), nullptr) << "the port went with the window";

    SetMediaToolCursorHook(GetToolCursor);
    DestroyWindow(card.window);
    UnregisterClassA(wc.lpszClassName, GetAppInstance());
    UnregisterQTWindowClass(GetAppInstance());
}

TEST_P(MediaSupportTest, AnMCIWindowHasAPlayBarOnlyWithTheController) {
    HMODULE vfw = LoadLibraryA("msvfw32.dll");
    ASSERT_NE(vfw, nullptr);
    CardWindow card;
    card.window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr, GetAppInstance(), nullptr);
    struct Avi : MediaElement {
        int Open(const Window&, int) override { return 0; }
        int Idle() override { return 1; }
    } avi;
    for (const uint32_t flags : {0u, kMediaFlagController}) {
        avi.flags = flags;
        avi.rect = RECT{5, 6, 85, 66};
        auto* window = new MCIWindow(avi, card);
        ASSERT_NE(window->window, nullptr) << flags;
        const auto style = static_cast<DWORD>(GetWindowLongA(window->window, GWL_STYLE));
        EXPECT_EQ((style & 0x2) != 0, flags == 0) << "no play bar without the controller";
        RECT at{};
        GetWindowRect(window->window, &at);
        MapWindowPoints(nullptr, card.window, reinterpret_cast<POINT*>(&at), 2);
        EXPECT_EQ(at.left, 5);
        EXPECT_EQ(at.top, 6);
        const HWND made = window->window;
        delete window;
        EXPECT_FALSE(IsWindow(made)) << "closed";
    }
    DestroyWindow(card.window);
    FreeLibrary(vfw);
}

INSTANTIATE_TEST_SUITE_P(LibraryAndLinked, MediaSupportTest, ::testing::Bool(),
                         [](const auto& linked) { return linked.param ? "Linked" : "Library"; });

}  // namespace
