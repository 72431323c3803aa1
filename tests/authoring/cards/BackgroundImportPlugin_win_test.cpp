// Import Background and Export Screen in the plug-in as the test browser hosts it, the files
// chosen in their dialogs: a PNG of the card's size replaces the picture unasked (the window
// shows the PNG), a smaller one asks 2240 and "No" centres it, Undo brings the earlier picture
// back, the context menu's Import Background does as the menu's, and Export Screen as BMP
// writes the card as the window shows it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/menus/MenuCommands.h"
#include "authoring/cards/CardPictureFiles.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestPng.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"
#include "vic32/Vic32.h"

namespace {

namespace sb = stackbuilder;

constexpr int kWidth = 120;
constexpr int kHeight = 90;
constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;

std::string Temp(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "bgimport-" + ProcessTag() + "-" + name;
}

// 0xRRGGBB top row first, of a bitmap.
std::vector<uint32_t> BitmapPixels(HDC dc, HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// What the card window shows.
std::vector<uint32_t> WindowPixels(HWND window) {
    PumpPageMessages();
    UpdateWindow(window);
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    SelectObject(memory, kept);
    std::vector<uint32_t> pixels = BitmapPixels(memory, bitmap, kWidth, kHeight);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return pixels;
}

// The colours as the display shows them.
std::vector<uint32_t> AsShown(std::vector<uint32_t> colors, int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBits(screen, bitmap, 0, static_cast<UINT>(height), colors.data(), &info, DIB_RGB_COLORS);
    std::vector<uint32_t> shown = BitmapPixels(screen, bitmap, width, height);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return shown;
}

struct PngFile {
    std::string path;
    std::vector<uint32_t> pixels;
};

// Colours in steps of 8, which every display shows exactly.
PngFile WritePng(const std::string& name, int width, int height, uint8_t blue) {
    PngFile made{Temp(name), {}};
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t r = static_cast<uint8_t>(x * 2 & 0xF8), g = static_cast<uint8_t>(y * 2 & 0xF8);
            rgb.insert(rgb.end(), {r, g, blue});
            made.pixels.push_back(uint32_t{r} << 16 | uint32_t{g} << 8 | blue);
        }
    const std::vector<uint8_t> png = Png(width, height, rgb);
    FILE* f = std::fopen(made.path.c_str(), "wb");
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
    return made;
}

// Under Wine the TWAIN source manager is always there, so the picture source is asked first.
void ChooseDiskFile(DialogDriver& driver) {
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
        box.SetChecked(1000, true);  // "Disk file"
        box.Press(IDOK);
    });
}

void ChooseFile(DialogDriver& driver, const char* caption, const std::string& path) {
    driver.Expect(DialogMatch::Caption(caption), [path](DialogView& box) {
        box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, path);
        box.Press(IDOK);
    });
}

}  // namespace

class BackgroundImportInPlugin : public LinkedPluginTest {};

TEST_F(BackgroundImportInPlugin, ImportsCentresUndoesAndExportsTheCard) {
    SKIP_UNLESS_TRUE_COLOUR("the exported card is read back as a 24-bit picture and compared with exact colours");
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.depth = 32;  // edited in true colour: pictures keep their own colours
    stack.cards = {sb::PlainCard(1)};
    ASSERT_TRUE(Open(stack));
    const std::vector<uint32_t> blank = WindowPixels(page.embed);

    // The card's size: no question.
    const PngFile whole = WritePng("whole.png", kWidth, kHeight, 96);
    {
        DialogDriver driver(15000);
        ChooseDiskFile(driver);
        ChooseFile(driver, "Please select a picture file", whole.path);
        driver.Run([&] { return DoMenuCommand(page.embed, 104, 0, nullptr) ? 1 : 0; });
        EXPECT_EQ(driver.DialogsSeen(), 2);
    }
    const std::vector<uint32_t> shownWhole = AsShown(whole.pixels, kWidth, kHeight);
    EXPECT_EQ(WindowPixels(page.embed), shownWhole);

    // Undo: the blank card again.
    DoMenuCommand(page.embed, 150, 0, nullptr);
    EXPECT_EQ(WindowPixels(page.embed), blank);

    // Smaller: asked, "No" centres it.
    const PngFile small = WritePng("small.png", 40, 30, 248);
    {
        DialogDriver driver(15000);
        ChooseDiskFile(driver);
        ChooseFile(driver, "Please select a picture file", small.path);
        driver.Expect(DialogMatch::Alert(kAlertPictureSizeDiffers), [](DialogView& box) { box.Press(53); });
        driver.Run([&] { return DoMenuCommand(page.embed, 104, 0, nullptr) ? 1 : 0; });
    }
    const std::vector<uint32_t> centred = WindowPixels(page.embed);
    const std::vector<uint32_t> shownSmall = AsShown(small.pixels, 40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(centred[static_cast<size_t>(y + 30) * kWidth + x + 40], shownSmall[static_cast<size_t>(y) * 40 + x])
                << x << "," << y;

    // The context menu's Import Background does as the menu's.
    {
        DialogDriver driver(15000);
        ChooseDiskFile(driver);
        ChooseFile(driver, "Please select a picture file", whole.path);
        driver.Run([&] { return DoMenuCommand(page.embed, 4183, 0, nullptr) ? 1 : 0; });
    }
    EXPECT_EQ(WindowPixels(page.embed), shownWhole);

    // Export Screen as BMP: the card as the window shows it.
    const std::string bmp = Temp("screen.bmp");
    {
        DialogDriver driver(15000);
        ChooseFile(driver, "Please name this Screen", bmp);
        driver.Run([&] { return DoMenuCommand(page.embed, 105, 0, nullptr) ? 1 : 0; });
    }
    VicBitmapHeader header{};
    ASSERT_EQ(bmpinfo(bmp.c_str(), &header), VIC_OK);
    VicImage image{};
    ASSERT_EQ(allocimage(&image, header.width, header.height, 24), VIC_OK);
    ASSERT_EQ(loadbmp(bmp.c_str(), &image), VIC_OK);
    std::vector<uint32_t> written;
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.bits + static_cast<size_t>(image.height - 1 - y) * image.rowBytes;
        for (int x = 0; x < image.width; ++x)
            written.push_back(uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x]);
    }
    freeimage(&image);
    EXPECT_EQ(written, shownWhole);

    CloseLinkedPlugin(&page);
    DeleteFileA(whole.path.c_str());
    DeleteFileA(small.path.c_str());
    DeleteFileA(bmp.c_str());
}
