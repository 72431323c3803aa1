// The previews of the open dialogs over the linked QuickTime stand-in: the kind each file runs
// under, the previewer the factory makes, where movies and stills land in the control, refresh,
// placeable metafiles fitted and enhanced ones left out, the picture import, and the Open
// dialog itself showing a PNG and an AVI's first frame.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/files/FileDialogHooks.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/files/OpenFileDialog.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/MediaPreview.h"
#include "media/previews/Previewers.h"
#include "media/support/MetafileRender.h"
#include "media/support/PackedDib.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMetafiles.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestPng.h"
#include "tests/support/TestSounds_win.h"

namespace {

constexpr int kControlWidth = 180, kControlHeight = 110;
constexpr int kCardW = 400, kCardH = 300;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kWhite = RGB(255, 255, 255);

// The first image of the three-image GIF, alone.
Bytes OneImageGif() {
    Bytes gif = ThreeFrameGif();
    const uint8_t extension[] = {0x21, 0xF9, 0x04};
    auto first = std::search(gif.begin(), gif.end(), std::begin(extension), std::end(extension));
    auto second = std::search(first + 1, gif.end(), std::begin(extension), std::end(extension));
    gif.erase(second, gif.end());
    gif.push_back(0x3B);
    return gif;
}

Bytes SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    Bytes rgb;
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {r, g, b});
    return Png(width, height, rgb);
}

void Pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - until) < 0);
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

COLORREF DibPixel(HGLOBAL block, int x, int y) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    PackedDibView dib;
    COLORREF c = 0xFFFFFFFF;
    if (bytes && ReadPackedDib({bytes, GlobalSize(block)}, &dib) && dib.depth == 24) {
        const int rows = std::abs(dib.height);
        const int row = dib.height < 0 ? y : rows - 1 - y;
        const size_t stride = ((size_t(dib.width) * 24 + 31) / 32) * 4;
        const uint8_t* p = dib.image.data() + row * stride + size_t(x) * 3;
        c = RGB(p[2], p[1], p[0]);
    }
    GlobalUnlock(block);
    return c;
}

SIZE DibSize(HGLOBAL block) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    PackedDibView dib;
    SIZE size{};
    if (bytes && ReadPackedDib({bytes, GlobalSize(block)}, &dib))
        size = SIZE{dib.width, std::abs(dib.height)};
    GlobalUnlock(block);
    return size;
}

class MediaPreviewTest : public testing::Test {
protected:
    void SetUp() override {
        session_.emplace("loom_preview_sink.wav");
        ASSERT_TRUE(session_->Ready());
        card_ = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kCardW, kCardH, nullptr, nullptr,
                              GetAppInstance(), nullptr);
        ASSERT_NE(card_, nullptr);
        ASSERT_EQ(InitDataBase(card_, kCardW, kCardH, 24, false), 1);
        dialog_ = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 420, 0, 240, 160, nullptr,
                                nullptr, GetAppInstance(), nullptr);
        control_ = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, kControlWidth, kControlHeight, dialog_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreviewAreaId)), GetAppInstance(), nullptr);
        ASSERT_NE(control_, nullptr);
    }
    void TearDown() override {
        MediaManagerDestroy();
        SetFilePreviewHandlers({});
        DestroyWindow(dialog_);
        FreeOffscreenObjects();
        DestroyWindow(card_);
        session_.reset();
    }
    int Show(const std::string& path, int mode) {
        return MediaShowFilePreview(dialog_, kPreviewAreaId, path.c_str(), FileTypeFromExtension(path), mode);
    }
    Previewer* Current() const { return TheMediaManager() ? TheMediaManager()->previewer : nullptr; }

    HWND card_ = nullptr;
    HWND dialog_ = nullptr;
    HWND control_ = nullptr;
    std::optional<StandInSoundSession> session_;
};

TEST_F(MediaPreviewTest, TheFactoryAnswersTheKindAndPlacesMoviesAndStillsByMode) {
    const std::string avi = WriteTemp("loom_preview_rle.avi", RleAvi());
    const std::string mpg = WriteTemp("loom_preview.mpg", Bytes(64, 0));
    const std::string gif = WriteTemp("loom_preview_one.gif", OneImageGif());
    const std::string gifs = WriteTemp("loom_preview_three.gif", ThreeFrameGif());

    EXPECT_EQ(Show(avi, 0), -1) << "no manager";
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    EXPECT_EQ(MediaShowFilePreview(dialog_, 1234, avi.c_str(), kFileTypeAvi, 0), -1) << "no such control";
    EXPECT_EQ(Current(), nullptr);

    // An RLE AVI plays through QuickTime (13): scaled into the control less its bar, the
    // controller's bounds are the whole control.
    EXPECT_EQ(Show(avi, 0), kFileTypeMov);
    auto* movie = dynamic_cast<QTMoviePreview*>(Current());
    ASSERT_NE(movie, nullptr);
    ASSERT_NE(movie->window, nullptr);
    EXPECT_EQ(GetParent(movie->window->window), control_);
    EXPECT_TRUE(IsWindowVisible(movie->window->window));
    EXPECT_EQ(movie->rect.left, 0);
    EXPECT_EQ(movie->rect.top, 0);
    EXPECT_EQ(movie->rect.right, kControlWidth);
    EXPECT_EQ(movie->rect.bottom, kControlHeight);
    // Mode 1: at its own size (32 x 24 and the bar), then centred.
    EXPECT_EQ(Show(avi, kPreviewTopLeft), kFileTypeMov);
    movie = dynamic_cast<QTMoviePreview*>(Current());
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->rect.right - movie->rect.left, kAviWidth);
    EXPECT_EQ(movie->rect.bottom - movie->rect.top, kAviHeight + kQTControllerHeight);
    EXPECT_EQ(movie->rect.left, (kControlWidth - kAviWidth) / 2);
    // Mode 3: left edge at 0 and the bottom on the control's.
    EXPECT_EQ(Show(avi, kPreviewBottomLeft), kFileTypeMov);
    movie = dynamic_cast<QTMoviePreview*>(Current());
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->rect.left, 0);
    EXPECT_EQ(movie->rect.bottom, kControlHeight);

    // Refresh runs the factory again on the movie's path, which it copied first.
    MediaRefreshPreview(dialog_, kPreviewAreaId, kFileTypeMov, 0);
    movie = dynamic_cast<QTMoviePreview*>(Current());
    ASSERT_NE(movie, nullptr);
    EXPECT_STREQ(movie->path, avi.c_str());
    EXPECT_EQ(movie->rect.right, kControlWidth) << "shown again in mode 0";

    // MPEG goes to an MCIWnd window (19) whether or not it opens.
    EXPECT_EQ(Show(mpg, 0), kFileTypeAvi);
    EXPECT_NE(dynamic_cast<AVIPreview*>(Current()), nullptr);

    // Several images run as a movie; one image is a still, fitted and centred whatever the mode.
    EXPECT_EQ(Show(gifs, kPreviewBottomLeft), kFileTypeGif);
    EXPECT_NE(dynamic_cast<QTImagePreview*>(Current()), nullptr);
    EXPECT_EQ(Show(gif, kPreviewBottomLeft), kFileTypeGif);
    auto* still = dynamic_cast<PicturePreview*>(Current());
    ASSERT_NE(still, nullptr);
    ASSERT_NE(still->bitmap, nullptr);
    EXPECT_EQ(PixelOf(control_, kControlWidth / 2, kControlHeight / 2), kRed) << "colour 1 in the middle";
    EXPECT_NE(PixelOf(control_, 2, kControlHeight - 3), kRed) << "not bottom-aligned";
    // A picture larger than the control is scaled down into it: 360 x 110, red then green,
    // becomes 180 x 55 in the middle.
    Bytes halves;
    for (int i = 0; i < 360 * 110; ++i)
        halves.insert(halves.end(), {uint8_t(i % 360 < 180 ? 255 : 0), uint8_t(i % 360 < 180 ? 0 : 255), 0});
    EXPECT_EQ(Show(WriteTemp("loom_preview_big.png", Png(360, 110, halves)), 0), kFileTypePng);
    EXPECT_EQ(PixelOf(control_, 45, kControlHeight / 2), kRed);
    EXPECT_EQ(PixelOf(control_, 135, kControlHeight / 2), kGreen);
    EXPECT_NE(PixelOf(control_, 45, 20), kRed) << "above the fitted picture";
    EXPECT_EQ(Show(gif, kPreviewBottomLeft), kFileTypeGif);
    still = dynamic_cast<PicturePreview*>(Current());
    // Refreshing a still does nothing, whatever kind is given.
    MediaRefreshPreview(dialog_, kPreviewAreaId, kFileTypeMov, 0);
    MediaRefreshPreview(dialog_, kPreviewAreaId, kFileTypeGif, 0);
    EXPECT_EQ(Current(), still);

    MediaClosePreview();
    EXPECT_EQ(Current(), nullptr);
}

TEST_F(MediaPreviewTest, MetafilesArePreviewedFittedWhenPlaceableAndImportedAtTheirSize) {
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    // A placeable box of 1800 x 600 units, red on its left half, is fitted to 180 x 60.
    const std::string wide = WriteTemp("loom_preview_wide.wmf",
                                       PlaceableMetafile(0, 0, 1800, 600, 1440, {{0, 0, 900, 600, kRed}}));
    EXPECT_EQ(Show(wide, 0), kFileTypeWmf);
    auto* still = dynamic_cast<PicturePreview*>(Current());
    ASSERT_NE(still, nullptr);
    ASSERT_NE(still->bitmap, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(still->bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, kControlWidth);
    EXPECT_EQ(info.bmHeight, 60);
    const int top = (kControlHeight - 60) / 2;
    EXPECT_EQ(PixelOf(control_, 45, top + 30), kRed);
    EXPECT_EQ(PixelOf(control_, 135, top + 30), kWhite);
    EXPECT_NE(PixelOf(control_, 45, top - 10), kRed) << "above the fitted picture";

    // An enhanced metafile, and one without the placeable header, show nothing.
    Bytes enhanced(120, 0);
    enhanced[0] = 1;
    std::memcpy(enhanced.data() + 40, " EMF", 4);
    EXPECT_EQ(Show(WriteTemp("loom_preview_enh.wmf", enhanced), 0), kFileTypeWmf);
    ASSERT_NE(dynamic_cast<PicturePreview*>(Current()), nullptr);
    EXPECT_EQ(dynamic_cast<PicturePreview*>(Current())->bitmap, nullptr);
    EXPECT_EQ(Show(WriteTemp("loom_preview_plain.wmf", WindowsMetafile({{0, 0, 150, 150, kRed}})), 0), kFileTypeWmf);
    EXPECT_EQ(dynamic_cast<PicturePreview*>(Current())->bitmap, nullptr);

    // Picture import: a box at (100, 100) maps exactly onto the bitmap; 1440 units at 1440 an
    // inch give 96, raised to 100; a word count past the end gives nothing.
    HGLOBAL dib = RenderMetafile(PlaceableMetafile(100, 100, 1540, 1540, 1440, {{100, 100, 820, 820, kRed}}), 640, 480);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(DibSize(dib).cx, 100);
    EXPECT_EQ(DibSize(dib).cy, 100);
    EXPECT_EQ(DibPixel(dib, 2, 2), kRed);
    EXPECT_EQ(DibPixel(dib, 47, 47), kRed);
    EXPECT_EQ(DibPixel(dib, 53, 53), kWhite);
    EXPECT_EQ(DibPixel(dib, 97, 97), kWhite);
    GlobalFree(dib);
    // Without the placeable header: 150 units at one an inch, drawn at the card limits.
    const std::string plain = WriteTemp("loom_import_plain.wmf", WindowsMetafile({{0, 0, 75, 75, kGreen}}));
    dib = RenderMetafileFile(plain.c_str());
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(DibSize(dib).cx, 500) << "no current card: 500 by 500";
    EXPECT_EQ(DibSize(dib).cy, 500);
    EXPECT_EQ(DibPixel(dib, 240, 240), kGreen);
    EXPECT_EQ(DibPixel(dib, 260, 260), kWhite);
    GlobalFree(dib);
    // With a current card of 320 x 200, at its size.
    const Handle card = NewHandleWithEndMark(kNewCardRecordBytes);
    {
        HandleLock lock(card);
        SetU16(lock.bytes(), kCardId, 3);
        SetU16(lock.bytes(), kCardWidth, 320);
        SetU16(lock.bytes(), kCardHeight, 200);
    }
    ASSERT_EQ(AddCardRecord(card, 0), 0);
    SetCurrentCardId(3);
    dib = RenderMetafileFile(plain.c_str());
    SetCurrentCardId(0);
    DisposeCards();
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(DibSize(dib).cx, 320);
    EXPECT_EQ(DibSize(dib).cy, 200);
    EXPECT_EQ(DibPixel(dib, 150, 90), kGreen);
    EXPECT_EQ(DibPixel(dib, 170, 110), kWhite);
    GlobalFree(dib);
    Bytes cut = PlaceableMetafile(0, 0, 96, 96, 96, {{0, 0, 96, 96, kRed}});
    cut.resize(cut.size() - 6);
    EXPECT_EQ(RenderMetafile(cut, 640, 480), nullptr);
}

TEST_F(MediaPreviewTest, PicturesImportThroughTheImporterOnlyWithAManager) {
    const std::string png = WriteTemp("loom_import.png", SolidPng(30, 20, 0, 255, 0));
    HGLOBAL dib = reinterpret_cast<HGLOBAL>(1);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertQuickTimeMissing), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([&] { return MediaImportPicture(png.c_str(), &dib); }), -1);
    EXPECT_EQ(dib, nullptr);

    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    ASSERT_EQ(MediaImportPicture(png.c_str(), &dib), 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(DibSize(dib).cx, 30);
    EXPECT_EQ(DibSize(dib).cy, 20);
    EXPECT_EQ(DibPixel(dib, 15, 10), kGreen);
    GlobalFree(dib);
    EXPECT_EQ(MediaImportPicture(WriteTemp("loom_import_bad.png", Bytes(40, 7)).c_str(), &dib), -1);
    EXPECT_EQ(dib, nullptr);
}

// The hook dialog of an Explorer-style Open dialog: its child holding the preview area.
HWND HookDialogOf(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, kPreviewAreaId))
            return child;
    return nullptr;
}

TEST_F(MediaPreviewTest, TheOpenDialogPreviewsAPngStillAndAnAviFirstFrameAboveItsBar) {
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    SetFilePreviewHandlers({MediaShowFilePreview, MediaClosePreview});
    const std::string png = WriteTemp("loom_dialog.png", SolidPng(60, 40, 0, 255, 0));
    const std::string avi = WriteTemp("loom_dialog.avi", RleAvi());
    SetFileSpecFromPath(kSlotScratch, png.c_str());
    static const char kFilter[] = "Media\0*.png;*.avi\0";
    const FileRequest request{2405, kFilter, 0, kFileTypeMov, kSlotScratch, 0};

    COLORREF stillMiddle = 0, stillCorner = 0, frameMiddle = 0, barMiddle = 0;
    int previewShown = 0;
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please select a stack"), [&](DialogView& box) {
        HWND hook = HookDialogOf(box.Window());
        ASSERT_NE(hook, nullptr);
        HWND area = GetDlgItem(hook, kPreviewAreaId);
        // The preview's box and area lie clear of the system's "Look in:" label and its list.
        for (const int own : {kPreviewCheckBoxId, kPreviewAreaId})
            for (const int system : {1091, 1137}) {
                RECT a{}, b{}, overlap{};
                GetWindowRect(GetDlgItem(hook, own), &a);
                if (!GetDlgItem(box.Window(), system))
                    continue;
                GetWindowRect(GetDlgItem(box.Window(), system), &b);
                EXPECT_FALSE(IntersectRect(&overlap, &a, &b)) << "control " << own << " over the system's " << system;
            }
        DialogView(hook).SetChecked(kPreviewCheckBoxId, true);
        const auto select = [&](const std::string& path) {
            const std::string name = path.substr(path.find_last_of('\\') + 1);
            box.SetText(box.Exists(1148) ? 1148 : 1152, name);
            NMHDR notice{box.Window(), 0, static_cast<UINT>(CDN_SELCHANGE)};
            SendMessageA(hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
        };
        select(png);
        previewShown += dynamic_cast<PicturePreview*>(Current()) != nullptr;
        RECT client{};
        GetClientRect(area, &client);
        stillMiddle = PixelOf(area, client.right / 2, client.bottom / 2);
        stillCorner = PixelOf(area, 1, 1);
        select(avi);
        auto* movie = dynamic_cast<QTMoviePreview*>(Current());
        previewShown += movie != nullptr;
        if (movie && movie->window) {
            HWND window = movie->window->window;
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            Pump(100);
            RECT inner{};
            GetClientRect(window, &inner);
            frameMiddle = PixelOf(window, inner.right / 2, (inner.bottom - kQTControllerHeight) / 2);
            barMiddle = PixelOf(window, inner.right / 2, inner.bottom - kQTControllerHeight / 2);
        }
        box.Press(IDCANCEL);
    });
    FileSpec chosen = EmptyFileSpec();
    SetFileSpecPath(&chosen, "C:\\untouched.avi");
    EXPECT_FALSE(driver.Run([&] { return GetOpenFileWithPreview(card_, request, &chosen); }));
    EXPECT_STREQ(chosen.path, "C:\\untouched.avi") << "a cancelled dialog hands back nothing";
    EXPECT_EQ(previewShown, 2);
    EXPECT_EQ(stillMiddle, kGreen) << "the PNG fitted in the middle of control 1001";
    EXPECT_NE(stillCorner, kGreen) << "60 x 40 is not stretched to the corner";
    EXPECT_EQ(frameMiddle, kRed) << "the first frame (colour 1)";
    EXPECT_NE(barMiddle, kRed) << "the controller's bar under it";
    EXPECT_EQ(Current(), nullptr) << "the preview closes with the dialog";
}

}  // namespace
