// Picture files to and from the card on a real offscreen: LoadGraphicFile reads BMPs of every
// depth (4 bits as 8, 16 and 32 bits with bit fields as 24, with their colours) and refuses a
// GIF or a name without extension that QuickTime did not import, with message 4085; a picture
// of the card's size becomes the background unasked, a smaller one asks 2240 and "No" centres
// it, and Undo brings the old picture back; SaveGfile writes the card as BMP and TGA that read
// back as the card, JPEG close to it, refuses GIF and PCX on a display deeper than 8 bits with
// 2345 and writes nothing, and names TIFF and unknown kinds with 4084.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/ui/AlertsOnce.h"
#include "core/ui/ScreenDepth.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaManager.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"
#include "authoring/cards/CardPictureFiles.h"
#include "authoring/cards/UndoPerform.h"
#include "authoring/cards/UndoServices.h"
#include "stack/undo/Undo.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMetafiles.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestPng.h"
#include "tests/vic32/VicTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

using namespace cardtest;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::string TempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("cardpict_" + name)).string();
}

// The pixels of a bitmap as 0xRRGGBB, top row first.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (uint32_t& p : rows)
        p &= 0xFFFFFF;
    return rows;
}

// The colours as a device bitmap of the display shows them (a 16-bit display widens its
// 5 or 6 bits by repeating their top bits).
std::vector<uint32_t> AsShown(std::vector<uint32_t> colors) {
    HDC screen = GetDC(nullptr);
    const int width = static_cast<int>(colors.size());
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 1);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBits(screen, bitmap, 0, 1, colors.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<uint32_t> shown = Pixels(bitmap, width, 1);
    DeleteObject(bitmap);
    return shown;
}

std::vector<uint32_t> CardPixels() {
    HBITMAP offscreen = GetOffscreenBitmap();
    std::vector<uint32_t> all = Pixels(offscreen, kWidth, kHeight + 2);
    all.resize(static_cast<size_t>(kWidth) * kHeight);
    return all;
}

std::vector<uint32_t> ImagePixels(const VicImage& image) {
    std::vector<uint32_t> out;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            out.push_back(ValueOf(PixelAt(image, x, y)));
    return out;
}

// Colours a 16-bit display shows exactly (multiples of 8 in each channel), in gentle steps.
Rgb Bold(int x, int y) { return {static_cast<uint8_t>(x * 4 & 0xF8), static_cast<uint8_t>(y * 5 & 0xF8), 200}; }

void SaveBmp(const std::string& path, int width, int height, Rgb (*pixel)(int, int)) {
    OwnedImage image(width, height, [&](int x, int y) { return pixel(x, y); });
    ASSERT_EQ(savebmp(path.c_str(), image.get(), 0), VIC_OK);
}

// A pixel of a 24-bit packed DIB as 0xRRGGBB, top row first; 0xFFFFFFFF for any other DIB.
uint32_t FramePixel(HGLOBAL frame, int x, int y) {
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(frame));
    uint32_t c = 0xFFFFFFFF;
    if (info && info->biBitCount == 24 && x < info->biWidth && y < std::abs(info->biHeight)) {
        const int row = info->biHeight < 0 ? y : std::abs(info->biHeight) - 1 - y;
        const uint8_t* p = reinterpret_cast<const uint8_t*>(info + 1) + row * ((info->biWidth * 3 + 3) & ~3) + x * 3;
        c = ValueOf(Rgb{p[2], p[1], p[0]});
    }
    GlobalUnlock(frame);
    return c;
}

void FreeFrameArray(HGLOBAL frames, int count) {
    if (auto* handles = static_cast<HGLOBAL*>(GlobalLock(frames))) {
        for (int k = 0; k < count; ++k)
            GlobalFree(handles[k]);
        GlobalUnlock(frames);
    }
    if (frames)
        GlobalFree(frames);
}

void AnswerError(DialogDriver& driver, const char* text) {
    driver.Expect(DialogMatch::Caption("Pageloom Error"), [text](DialogView& box) {
        EXPECT_NE(box.Text(0xFFFF).find(text), std::string::npos) << box.Text(0xFFFF);
        box.Press(IDOK);
    });
}

class CardPictureFilesTest : public CardSessionTest {
protected:
    HWND window = nullptr;
    int savedDepth_ = 0;
    std::optional<QuickTimeVariant> variant_;
    void SetUp() override {
        CardSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the strings, "DEFPAL"
        ASSERT_TRUE(InitFolderTable());
        window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window);
        ASSERT_EQ(InitDataBase(window, kWidth, kHeight, 32, false), 1);
        // QuickTime's importers come first, as in the plug-in.
        variant_.emplace(true);
        ASSERT_EQ(MediaManagerCreate(window, GetAppInstance()), 1);
        ASSERT_TRUE(CreateUndoRecord());
        savedDepth_ = GetScreenDepth();
        SetScreenDepth(RecordedDepth(DisplayBits()));
        StackUpcalls upcalls = GetStackUpcalls();
        upcalls.restoreSnapshot = RestoreOffscreenSnapshot;
        SetStackUpcalls(upcalls);
        sb::Stack s;
        s.cardWidth = kWidth;
        s.cardHeight = kHeight;
        s.cards.push_back(sb::PlainCard(1));
        Load(s);
    }
    void TearDown() override {
        FreeUndoRecord();
        MediaManagerDestroy();
        variant_.reset();
        FreeLayerList();
        FreeOffscreenObjects();
        SetScreenDepth(savedDepth_);
        FreeAlertSuppressionList();
        FreeFolderTable();
        SetMainWindow(nullptr);
        DestroyWindow(window);
        CardSessionTest::TearDown();
    }
    void PaintCard() {
        HDC dc = AcquireOffscreenDC(nullptr);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = Bold(x, y);
                SetPixelV(dc, x, y, RGB(c.red, c.green, c.blue));
            }
        ReleaseOffscreenDC(dc);
    }
};

}  // namespace

TEST_F(CardPictureFilesTest, LoadsBmpsOfEveryDepthAndRefusesWhatNothingCanRead) {
    // 16 and 32 bits with bit fields, by the direct reader: 24 bits with their colours.
    struct Direct {
        const char* name;
        int bits;
        std::vector<uint32_t> masks;
        std::vector<uint32_t> pixels;
    };
    const Direct cases[] = {
        {"565.bmp", 16, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0}},
        {"x888.bmp", 32, {0x0000FF00, 0x00FF0000, 0xFF000000}, {0x0000FF00, 0xFF000000}},
    };
    for (const Direct& c : cases) {
        std::vector<uint8_t> b(14 + 40 + 12 + 8, 0);
        auto put = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        };
        b[0] = 'B', b[1] = 'M';
        put(10, 66);
        put(14, 40);
        put(18, 2);
        put(22, 1);
        b[26] = 1;
        b[28] = static_cast<uint8_t>(c.bits);
        put(30, 3);
        for (int i = 0; i < 3; ++i)
            put(54 + 4 * i, c.masks[i]);
        for (int x = 0; x < 2; ++x)
            for (int i = 0; i < c.bits / 8; ++i)
                b[66 + x * c.bits / 8 + i] = static_cast<uint8_t>(c.pixels[x] >> (8 * i));
        const std::string path = TempFile(c.name);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
        VicImage image{};
        ASSERT_EQ(LoadImageByKind(path.c_str(), kFileTypeBmp, &image), VIC_OK) << c.name;
        EXPECT_EQ(image.bitsPerPixel, 24) << c.name;
        EXPECT_EQ(ImagePixels(image), (std::vector<uint32_t>{0xFF0000, c.bits == 16 ? 0x00FF00u : 0x0000FFu})) << c.name;
        freeimage(&image);
        std::remove(path.c_str());
    }
    // 4 bits: an 8-bit image.
    {
        OwnedImage source(5, 3, 8);
        SetPalette(source.image, {{255, 0, 0}, {0, 0, 255}});
        const std::string eight = TempFile("eight.bmp");
        ASSERT_EQ(savebmp(eight.c_str(), source.get(), 0), VIC_OK);
        // Rewritten as 4 bits: the same table, two pixels a byte.
        FILE* f = std::fopen(eight.c_str(), "rb");
        std::vector<uint8_t> b(2000);
        b.resize(std::fread(b.data(), 1, b.size(), f));
        std::fclose(f);
        std::vector<uint8_t> four(b.begin(), b.begin() + 54 + 16 * 4);
        four[28] = 4;
        four[46] = 16;
        four[10] = static_cast<uint8_t>(54 + 64);
        four[11] = 0;
        for (int row = 0; row < 3; ++row)
            four.insert(four.end(), {0x01, 0x10, 0x00, 0x00});
        const std::string path = TempFile("four.bmp");
        f = std::fopen(path.c_str(), "wb");
        std::fwrite(four.data(), 1, four.size(), f);
        std::fclose(f);
        VicImage image{};
        ASSERT_EQ(LoadImageByKind(path.c_str(), kFileTypeBmp, &image), VIC_OK);
        EXPECT_EQ(image.bitsPerPixel, 8);
        EXPECT_EQ(ImagePixels(image)[0], 0xFF0000u);
        EXPECT_EQ(ImagePixels(image)[1], 0x0000FFu);
        EXPECT_EQ(ImagePixels(image)[2], 0x0000FFu);
        freeimage(&image);
        std::remove(path.c_str());
        std::remove(eight.c_str());
    }
    // A 24-bit BMP becomes a device bitmap with its pixels.
    const std::string bmp = TempFile("whole.bmp");
    SaveBmp(bmp, 8, 6, Bold);
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    HBITMAP loaded = LoadGraphicFile(bmp.c_str(), window, &palette, 0);
    ASSERT_NE(loaded, nullptr);
    std::vector<uint32_t> expected;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            expected.push_back(ValueOf(Bold(x, y)));
    EXPECT_EQ(Pixels(loaded, 8, 6), AsShown(expected));
    DeleteObject(loaded);
    if (palette)
        DeleteObject(palette);
    std::remove(bmp.c_str());
    // A GIF (not for the imaging library) and a name without extension (only for QuickTime).
    for (const char* name : {"picture.gif", "noextension"}) {
        const std::string path = TempFile(name);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("GIF89a not a picture QuickTime took", f);
        std::fclose(f);
        DialogDriver driver;
        AnswerError(driver, "could not load this file");
        EXPECT_EQ(driver.Run([&] { return LoadGraphicFile(path.c_str(), window, &palette, 0) ? 1 : 0; }), 0) << name;
        EXPECT_EQ(palette, nullptr);
        std::remove(path.c_str());
    }
}

TEST_F(CardPictureFilesTest, ImportsABackgroundCentredOrWholeAndUndoesIt) {
    SKIP_UNLESS_TRUE_COLOUR("the imported picture is compared with its exact colours");
    PaintCard();
    const std::vector<uint32_t> before = CardPixels();
    // The card's size: no question, the card becomes the picture.
    const std::string whole = TempFile("whole.bmp");
    Rgb (*picture)(int, int) = [](int x, int y) {
        return Rgb{static_cast<uint8_t>(x * 4 & 0xF8), 0, static_cast<uint8_t>(y * 5 & 0xF8)};
    };
    SaveBmp(whole, kWidth, kHeight, picture);
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([&] { return ImportBackgroundPicture(window, whole.c_str()); }), 1);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    std::vector<uint32_t> expected;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            expected.push_back(ValueOf(picture(x, y)));
    EXPECT_EQ(CardPixels(), AsShown(expected));
    EXPECT_EQ(GetUndoKind(), 36);
    // Undo: the card as it was.
    PerformUndo(window);
    EXPECT_EQ(CardPixels(), before);

    // A smaller one: asked, "No" centres it on the erased card.
    const std::string small = TempFile("small.bmp");
    SaveBmp(small, 10, 8, [](int, int) { return Rgb{0, 0, 248}; });
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertPictureSizeDiffers), [](DialogView& box) { box.Press(53); });
    EXPECT_EQ(driver.Run([&] { return ImportBackgroundPicture(window, small.c_str()); }), 1);
    const std::vector<uint32_t> centred = CardPixels();
    const uint32_t blue = AsShown({0x0000F8})[0];
    EXPECT_EQ(centred[static_cast<size_t>(20) * kWidth + 27], blue) << "the picture's top left at (27, 20)";
    EXPECT_EQ(centred[static_cast<size_t>(27) * kWidth + 36], blue) << "its bottom right at (36, 27)";
    EXPECT_NE(centred[static_cast<size_t>(19) * kWidth + 27], blue);
    EXPECT_NE(centred[static_cast<size_t>(20) * kWidth + 37], blue);
    EXPECT_NE(centred[0], blue);
    EXPECT_EQ(centred[0], centred.back()) << "the rest erased";
    std::remove(whole.c_str());
    std::remove(small.c_str());
}

TEST_F(CardPictureFilesTest, SavesTheCardAsShownInTheKindsTheDisplayAllows) {
    SKIP_UNLESS_TRUE_COLOUR("the card is saved in the 16- and 24-bit kinds and compared with them");
    PaintCard();
    const std::vector<uint32_t> card = CardPixels();
    const bool deep = DisplayBits() > 8;
    ASSERT_TRUE(deep) << "the tests run on 16- and 24-bit displays";
    // BMP and TGA read back as the card; JPEG close to it.
    for (const char* name : {"card.bmp", "card.tga", "card.jpg"}) {
        const std::string path = TempFile(name);
        DialogDriver quiet;
        EXPECT_EQ(quiet.Run([&] { return SaveGfile(path.c_str(), window); }), 1) << name;
        VicImage back{};
        ASSERT_EQ(LoadImageByKind(path.c_str(), FileTypeFromExtension(name), &back), VIC_OK) << name;
        ASSERT_EQ(back.width, kWidth);
        ASSERT_EQ(back.height, kHeight) << "the two spare rows left out";
        const std::vector<uint32_t> read = ImagePixels(back);
        if (std::string(name).ends_with(".jpg")) {
            // Sharp colour edges blur under chroma subsampling; on average the card stays.
            long total = 0;
            for (size_t i = 0; i < read.size(); ++i)
                total += ChannelGap(RgbFromValue(read[i]), RgbFromValue(card[i]));
            EXPECT_LT(total / static_cast<long>(read.size()), 8) << name;
        } else {
            EXPECT_EQ(read, card) << name;
        }
        freeimage(&back);
        std::remove(path.c_str());
    }
    // GIF and PCX need an 8-bit display: 2345 and no file.
    for (const char* name : {"card.gif", "card.pcx"}) {
        const std::string path = TempFile(name);
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(kAlertCannotSaveAtThisDepth), [](DialogView& box) { box.Press(52); });
        EXPECT_EQ(driver.Run([&] { return SaveGfile(path.c_str(), window); }), 0) << name;
        EXPECT_FALSE(std::filesystem::exists(path)) << name;
    }
    for (const char* name : {"card.tif", "card.wav", "card"}) {
        DialogDriver driver;
        AnswerError(driver, "Unrecognized graphic type");
        EXPECT_EQ(driver.Run([&] { return SaveGfile(TempFile(name).c_str(), window); }), 0) << name;
    }
}

TEST_F(CardPictureFilesTest, PictureFilesBesideTheStackAndGifsComeThroughQuickTime) {
    // A graphic object's picture file beside the stack: the loaded PNG cut to its rectangle.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "cardpict_stack";
    std::filesystem::create_directories(folder);
    std::vector<uint8_t> rgb;
    std::vector<uint32_t> cut;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const Rgb c = Bold(x * 3, y * 4);
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
            if (x >= 4 && x < 12 && y >= 2 && y < 8)
                cut.push_back(ValueOf(c));
        }
    const std::vector<uint8_t> png = Png(20, 10, rgb);
    const std::string pngPath = (folder / "picture.png").string();
    FILE* f = std::fopen(pngPath.c_str(), "wb");
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
    SetFileSpecFromPath(kSlotCurrentStack, (folder / "here.stk").string().c_str());
    const LayerKindProcs kinds = GetLayerKindProcs();
    LayerKindProcs supplied = kinds;
    supplied.graphicPictureFile = [](std::span<const uint8_t>, char* name, size_t size, RECT* crop) {
        std::snprintf(name, size, "%s", "D:\\elsewhere\\picture.png");  // moved: found beside the stack
        *crop = RECT{4, 2, 12, 8};
        return true;
    };
    SetLayerKindProcs(supplied);
    // The picture files as the wiring installs them.
    const LayerListUpcalls upcalls = GetLayerListUpcalls();
    LayerListUpcalls withPictures = upcalls;
    withPictures.loadPictureFile = [](const char* path, HPALETTE* palette) {
        return LoadGraphicFile(path, GetMainWindow(), palette, 0);
    };
    SetLayerListUpcalls(withPictures);
    const uint8_t record[64] = {};
    HBITMAP layerPicture = LoadLayerPictureFromFile(window, record);
    SetLayerListUpcalls(upcalls);
    SetLayerKindProcs(kinds);
    ASSERT_NE(layerPicture, nullptr);
    EXPECT_EQ(Pixels(layerPicture, 8, 6), AsShown(cut));
    DeleteObject(layerPicture);

    // The GIF writer's file, read by QuickTime's importer: the same picture.
    OwnedImage indexed(6, 4, 8);
    SetPalette(indexed.image, {{248, 0, 0}, {0, 248, 0}, {0, 0, 248}, {248, 248, 248}});
    std::vector<uint32_t> colors;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            RowFromTop(indexed.image, y)[x] = static_cast<uint8_t>((x + y) % 4);
            colors.push_back(ValueOf(RgbOf(indexed.image.palette[(x + y) % 4])));
        }
    const std::string gif = TempFile("written.gif");
    ASSERT_EQ(savegif(gif.c_str(), indexed.get()), VIC_OK);
    HPALETTE palette = nullptr;
    HBITMAP read = LoadGraphicFile(gif.c_str(), window, &palette, 0);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Pixels(read, 6, 4), AsShown(colors));
    DeleteObject(read);
    if (palette)
        DeleteObject(palette);
    std::remove(gif.c_str());
    std::filesystem::remove_all(folder);
}

TEST_F(CardPictureFilesTest, MetafilesLoadAtTheirBoxesSizeWithinTheCard) {
    DisposeCards();
    sb::Stack larger;
    larger.cardWidth = 200;
    larger.cardHeight = 150;
    larger.cards.push_back(sb::PlainCard(1));
    Load(larger);
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        SIZE size;
    };
    const std::vector<MetafileFill> red = {{100, 100, 300, 200, RGB(255, 0, 0)}};
    const Case cases[] = {
        // 1440 units at 1440 an inch: 96 pixels, raised to 100.
        {"inch.wmf", PlaceableMetafile(0, 0, 1440, 1440, 1440, red), {100, 100}},
        // A box starting at (100, 100), 120 x 130 units at 96 an inch: exactly its fill.
        {"box.wmf", PlaceableMetafile(100, 100, 220, 230, 96, {{100, 100, 220, 230, RGB(255, 0, 0)}}), {120, 130}},
        // Without a placeable header: 150 units at 1 an inch, lowered to the card's size.
        {"plain.wmf", WindowsMetafile(red), {200, 150}},
    };
    for (const Case& c : cases) {
        const std::string path = TempFile(c.name);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(c.file.data(), 1, c.file.size(), f);
        std::fclose(f);
        HPALETTE palette = nullptr;
        HBITMAP loaded = LoadGraphicFile(path.c_str(), window, &palette, 0);
        ASSERT_NE(loaded, nullptr) << c.name;
        BITMAP size{};
        GetObject(loaded, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, c.size.cx) << c.name;
        EXPECT_EQ(size.bmHeight, c.size.cy) << c.name;
        if (std::string(c.name) == "box.wmf") {
            const std::vector<uint32_t> pixels = Pixels(loaded, size.bmWidth, size.bmHeight);
            EXPECT_EQ(pixels.front(), 0xFF0000u);
            EXPECT_EQ(pixels.back(), 0xFF0000u) << "the box fills the bitmap";
        }
        DeleteObject(loaded);
        if (palette)
            DeleteObject(palette);
        std::remove(path.c_str());
    }
}

TEST_F(CardPictureFilesTest, AnimatedGifsGiveComposedFramesAndTheFirstTransparentIndex) {
    // A 6 x 2 GIF89a of four colours (black, red, green, blue). Frame 1 is red; frame 2 is green
    // where it is not its transparent index 3; frame 3 puts blue over the right third, with a
    // transparent index 0 that it never uses. A comment and a looping extension come first.
    const Rgb kRed{248, 0, 0}, kGreen{0, 248, 0}, kBlue{0, 0, 248};
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 6, 0, 2, 0, 0x81, 0, 0, 0, 0, 0};
    for (const Rgb& c : {kRed, kGreen, kBlue})
        gif.insert(gif.end(), {c.red, c.green, c.blue});
    gif.insert(gif.end(), {0x21, 0xFE, 3, 'h', 'i', '!', 0});
    gif.insert(gif.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    const auto frame = [&](uint8_t flags, uint8_t transparent, uint8_t left, uint8_t width, const Bytes& pixels) {
        gif.insert(gif.end(), {0x21, 0xF9, 4, flags, 10, 0, transparent, 0});
        gif.insert(gif.end(), {0x2C, left, 0, 0, 0, width, 0, 2, 0, 0});
        const Bytes lzw = GifPixels(pixels);
        gif.insert(gif.end(), lzw.begin(), lzw.end());
    };
    frame(0x04, 1, 0, 6, Bytes(12, 1));  // index 1 named but not flagged transparent
    frame(0x05, 3, 0, 6, {2, 3, 2, 3, 2, 3, 3, 3, 3, 2, 2, 2});
    frame(0x05, 0, 4, 2, Bytes(4, 3));
    gif.push_back(0x3B);
    const std::string animated = WriteTemp("cardpict_animated.gif", gif);

    EXPECT_TRUE(IsAnimatedGif(animated.c_str()));
    HGLOBAL frames = nullptr;
    int count = 0, transparent = -2;
    ASSERT_EQ(LoadGifFrames(animated.c_str(), &frames, &count, &transparent), 1);
    EXPECT_EQ(transparent, 3);
    ASSERT_EQ(count, 3);
    const uint32_t r = ValueOf(kRed), g = ValueOf(kGreen), b = ValueOf(kBlue);
    const std::vector<uint32_t> composed[3] = {
        {r, r, r, r, r, r, r, r, r, r, r, r},
        {g, r, g, r, g, r, r, r, r, g, g, g},
        {g, r, g, r, b, b, r, r, r, g, b, b},
    };
    auto* handles = static_cast<HGLOBAL*>(GlobalLock(frames));
    ASSERT_NE(handles, nullptr);
    for (int k = 0; k < count; ++k) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 6; ++x)
                pixels.push_back(FramePixel(handles[k], x, y));
        EXPECT_EQ(pixels, composed[k]) << "frame " << k;
    }
    GlobalUnlock(frames);
    FreeFrameArray(frames, count);

    // One image alone is no animation; a file that ends before its trailer gives no index.
    Bytes still = gif;
    for (size_t i = 13; i + 3 <= gif.size(); ++i)
        if (gif[i] == 0x21 && gif[i + 1] == 0xF9 && gif[i + 3] == 0x05) {
            still.assign(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    ASSERT_LT(still.size(), gif.size());
    still.push_back(0x3B);
    const std::string single = WriteTemp("cardpict_single.gif", still);
    EXPECT_FALSE(IsAnimatedGif(single.c_str()));
    ASSERT_EQ(LoadGifFrames(single.c_str(), &frames, &count, &transparent), 1);
    EXPECT_EQ(transparent, -1) << "named but not flagged";
    EXPECT_EQ(count, 1);
    FreeFrameArray(frames, count);
    WriteTemp("cardpict_single.gif", Bytes(gif.begin(), gif.end() - 1));
    LoadGifFrames(single.c_str(), &frames, &count, &transparent);
    EXPECT_EQ(transparent, -1) << "no trailer";
    FreeFrameArray(frames, count);
    // The same animation under another extension is not an animated GIF.
    const std::string renamed = WriteTemp("cardpict_animated.bmp", gif);
    EXPECT_FALSE(IsAnimatedGif(renamed.c_str()));
    for (const std::string& path : {animated, single, renamed})
        std::remove(path.c_str());
}
