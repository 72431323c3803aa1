// A graphic object made the whole way through the hosted plug-in: command 307 asks for a BMP,
// "Picture Cropping" cuts a rectangle out of it, the picture is placed and fixed by a click off
// it, "Graphic Appearance" names it "Sky" with a 3-pixel frame at 50 % opacity and its features
// make it draggable; the browse tool drags it elsewhere; the saved stack reads back
// (stackreport) with that one graphic at its new place, and the real plug-in in the test
// browser shows it there mixed half and half with the card. Lasso selections of the paint tools become masked
// graphics the same way, leaving the hole colour in the card picture. A new graphic made hidden
// has a layer while the tool shows hidden graphics. A rectangle selection becomes a graphic of its
// own pixels, without the dashed frame the card shows around it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <commctrl.h>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/menus/MenuCommands.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "resources/graphics_ids.h"
#include "resources/objinfo_ids.h"
#include "resources/video_ids.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/save/SaveStack.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ReportJson.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;

constexpr int kCardWidth = 320, kCardHeight = 240;
constexpr uint8_t kSkyRed = 0x00, kSkyGreen = 0x40, kSkyBlue = 0xC8;

std::string Temp(const std::string& name) { return TempPath(("gobj-" + ProcessTag() + "-" + name).c_str()); }

// A 24-bit BMP of the sky colour with a red border pixel all round.
std::string WriteSkyBmp(int width, int height) {
    sb::Picture sky = sb::SolidPicture(width, height, 32, sb::Pixel32({kSkyRed, kSkyGreen, kSkyBlue}));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                sky.pixels[static_cast<size_t>(y) * width + x] = 0xFF0000;
    const std::string path = Temp("sky.bmp");
    return sb::WriteFile(path, sb::BmpFile(sky)) ? path : std::string();
}

// One plain card at the display's depth: a deeper stack would ask to lose colours at its first
// edit.
sb::Stack DisplayDepthStack() {
    sb::Stack stack;
    stack.cardWidth = kCardWidth;
    stack.cardHeight = kCardHeight;
    stack.depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    stack.cards = {sb::PlainCard(1)};
    stack.nextObjectId = 5;
    return stack;
}

// The cropping view's rectangle dragged from (10, 10) to (50, 40).
void CropToRectangle(DialogView& box) {
    HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
    DragThrough(view, {{10, 10}, {30, 25}, {50, 40}, {50, 40}});
}

std::vector<LayerHandle> GraphicLayers() {
    std::vector<LayerHandle> found;
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<> lock(layer);
        if (lock->kind == kObjectGraphic)
            found.push_back(layer);
        layer = lock->next;
    }
    return found;
}

LayerHandle OnlyGraphicLayer() {
    LayerHandle found = nullptr;
    int count = 0;
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<> lock(layer);
        if (lock->kind == kObjectGraphic) {
            found = layer;
            ++count;
        }
        layer = lock->next;
    }
    return count == 1 ? found : nullptr;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// When a camera, capture driver or scanner was found, 307 first asks where the picture comes
// from: the disk file.
void ExpectPictureSourceIfAsked(DialogDriver& driver) {
    if (!(GetMediaFlags() & (kMediaCamera | kMediaCaptureDriver | kMediaTwain)))
        return;
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
        box.SetChecked(IDC_GFXSRC_DISK, true);
        box.Press(IDOK);
    });
}

// The file 307 asks for, from the disk.
void ExpectPictureFile(DialogDriver& driver, const std::string& file) {
    ExpectPictureSourceIfAsked(driver);
    driver.Expect(DialogMatch::Caption("Please select a picture file"), [file](DialogView& box) {
        box.SetFileName(file);
        box.Press(IDOK);
    });
}

void ExpectObjectRect(const std::vector<uint8_t>& record, int left, int top, int right, int bottom) {
    EXPECT_EQ(GetI16(record, kObjectRect), left);
    EXPECT_EQ(GetI16(record, kObjectRect + 2), top);
    EXPECT_EQ(GetI16(record, kObjectRect + 4), right);
    EXPECT_EQ(GetI16(record, kObjectRect + 6), bottom);
}

// A page of one card; the user level and the files the test wrote are put back after.
class GraphicObjectInPlugin : public LinkedPluginTest {
protected:
    void TearDown() override {
        LinkedPluginTest::TearDown();
        SetAdvancedUser(false);
        for (const std::string& file : written)
            DeleteFileA(file.c_str());
    }
    // 307 with the driver answering what it asks.
    void Command307(DialogDriver& driver) {
        driver.Run([&] { return DoMenuCommand(page.embed, 307, 0, nullptr) ? 1 : 0; });
    }
    // A click on the card with the driver answering what it opens.
    void ClickCard(DialogDriver& driver, int x, int y) {
        driver.Run([&] {
            SendMouse(page.embed, WM_LBUTTONDOWN, x, y);
            SendMouse(page.embed, WM_LBUTTONUP, x, y);
            return 0;
        });
    }
    std::string SkyBmp(int width, int height) { return written.emplace_back(WriteSkyBmp(width, height)); }
    std::vector<std::string> written;
};

TEST_F(GraphicObjectInPlugin, CroppedPlacedDressedSavedAndShownBlended) {
    SKIP_UNLESS_TRUE_COLOUR("the object is blended half and half with the card");
    ASSERT_TRUE(Open(DisplayDepthStack()));
    SetAdvancedUser(true);  // the opacity controls are for advanced users
    const std::string bmp = SkyBmp(80, 60);

    // 307: the picture asked for and cropped to (10, 10, 50, 40).
    {
        DialogDriver driver(15000);
        ExpectPictureFile(driver, bmp);
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            EXPECT_EQ(box.Caption(), "Graphic Objects");
            EXPECT_FALSE(box.IsEnabled(PCROP_UNDO));
            CropToRectangle(box);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) {
            EXPECT_EQ(box.Text(60), "Where do you want your graphic object on the screen?");
            box.Press(IDOK);
        });
        Command307(driver);
    }
    ASSERT_TRUE(IsPlacedGraphicShown());
    UpdateWindow(page.embed);
    PumpPageMessages();
    const COLORREF placed = WindowPixel(page.embed, 160, 120);
    EXPECT_TRUE(NearRgb(uint32_t{GetRValue(placed)} << 16 | GetGValue(placed) << 8 | GetBValue(placed), kSkyRed, kSkyGreen,
                        kSkyBlue, 8))
        << "placed, centred: " << std::hex << placed;

    // A click off the picture fixes it; the appearance dialog dresses it, its features make it
    // draggable in browse mode.
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(GAPPEAR_FEATURES); });
        driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
            EXPECT_TRUE(box.IsEnabled(IFE_DRAGGABLE));
            SendMessageA(GetDlgItem(box.Window(), IFE_DRAGGABLE), BM_SETCHECK, BST_CHECKED, 0);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
            EXPECT_EQ(box.Text(GAPPEAR_NAME), "Untitled");
            EXPECT_TRUE(box.IsEnabled(GAPPEAR_OPACITY_SLIDER));
            box.SetText(GAPPEAR_NAME, "Sky");
            const RECT arrows = box.ControlRect(GAPPEAR_ARROWS);
            // The arrows repeat while held, so a slow run may step twice: step until it reads 3.
            for (int i = 0; i < 10 && box.Text(GAPPEAR_WIDTH) != "3"; ++i) {
                const int y = std::atoi(box.Text(GAPPEAR_WIDTH).c_str()) < 3 ? arrows.top + 3 : arrows.bottom - 3;
                SendMouse(box.Window(), WM_LBUTTONDOWN, arrows.left + 3, y);
                SendMouse(box.Window(), WM_LBUTTONUP, arrows.left + 3, y);
            }
            EXPECT_EQ(box.Text(GAPPEAR_WIDTH), "3");
            HWND slider = GetDlgItem(box.Window(), GAPPEAR_OPACITY_SLIDER);
            SendMessageA(slider, TBM_SETPOS, TRUE, 50);
            SendMessageA(box.Window(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 50), reinterpret_cast<LPARAM>(slider));
            EXPECT_EQ(box.Text(GAPPEAR_OPACITY), "50");
            box.Press(IDOK);
        });
        ClickCard(driver, 5, 5);
    }
    EXPECT_FALSE(IsPlacedGraphicShown());
    const LayerHandle layer = OnlyGraphicLayer();
    ASSERT_NE(layer, nullptr);
    const uint16_t id = LayerLock<>(layer)->id;
    const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, id);
    ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
    EXPECT_EQ(GetU16(record, kGraphicFrameWidth), 3);
    EXPECT_EQ(GetU16(record, kGraphicTransparency), 50);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kGraphicName + 1]), record[kGraphicName]), "Sky");
    ExpectObjectRect(record, 140, 105, 180, 135);
    EXPECT_EQ(GetU16(record, kGraphicSourceLeft), 10);
    EXPECT_EQ(GetU16(record, kGraphicSourceTop), 10);
    EXPECT_NE(GetU16(record, kObjectFlags) & 0x80, 0) << "draggable in browse mode, set by the features dialog";
    GraphicRecordLayout layout;
    ASSERT_TRUE(ReadGraphicRecordLayout(record, layout));
    const bool padded = (GetU16(record, kObjectFlags) & kObjectPadded) != 0;
    EXPECT_EQ(GetU32(record, kObjectLength), kGraphicHeaderBytes + layout.data.size() + layout.mask.size() + (padded ? 1 : 0));
    EXPECT_EQ(record.size() % 2, 0u);

    // The browse tool drags it 40 right and 30 down.
    SelectToolNumber(kBrowseTool);
    PumpPageMessages();
    SendMessageA(page.embed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 120));
    PumpPageMessages();
    SendMessageA(page.embed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 135));
    PumpPageMessages();
    SendMessageA(page.embed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 150));
    PumpPageMessages();
    SendMouse(page.embed, WM_LBUTTONUP, 200, 150);
    const std::vector<uint8_t> moved = OpenStackObject(GetCurrentCardId(), kObjectGraphic, id);
    ASSERT_GE(moved.size(), size_t{kGraphicHeaderBytes});
    ExpectObjectRect(moved, 180, 135, 220, 165);
    EXPECT_EQ(OnlyGraphicLayer(), layer);

    // Saved, then read by the stack reporter.
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), 0);
    char savedPath[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof savedPath, savedPath);
    const std::string saved = ReadBytes(savedPath);
    CloseLinkedPlugin(&page);
    SetAdvancedUser(false);
    ServerFolder server;
    const std::string path = server.Put("sky.stk", saved);
    const BrowserRun report = RunProgram(StackReporterPath(), server, {path});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const std::string json = Joined(report.log);
    // One graphic object, described once, where it was placed.
    const ReportJson parsed = ParseReport(json);
    int graphics = 0, described = 0;
    for (const ReportJson& card : ItemsOf(parsed, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects")) {
            graphics += object.value("kind", 0) == kObjectGraphic;
            described += object.contains("graphic");
        }
    EXPECT_EQ(graphics, 1) << json;
    EXPECT_EQ(described, 1) << json;
    const std::string graphic = ReportedObjectWithId(json, id);
    EXPECT_EQ(ReportedNumber(graphic, "kind"), kObjectGraphic) << json;
    EXPECT_EQ(ReportedValue(graphic, "rect"), "[180,135,220,165]") << json;
    EXPECT_NE(ReportedObject(json, "Sky"), "") << json;
    EXPECT_EQ(ReportedNumber(graphic, "frameWidth"), 3) << json;
    EXPECT_EQ(ReportedNumber(graphic, "transparency"), 50) << json;

    // The real plug-in shows it mixed with the card.
    const std::string shot = server.Name("sky.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                               "--size", std::to_string(kCardWidth) + "x" + std::to_string(kCardHeight),
                                               "--screenshot", shot, "--screenshot-after", "1500", "--quit-after-last",
                                               "800", "http://localhost/sky.stk"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const Shot pixels(shot);
    ASSERT_EQ(pixels.width, UINT(kCardWidth));
    const uint32_t card = pixels.At(5, 5), object = pixels.At(200, 150), left = pixels.At(150, 112);
    const int cardRed = (card >> 16) & 0xFF, cardGreen = (card >> 8) & 0xFF, cardBlue = card & 0xFF;
    EXPECT_TRUE(NearRgb(object, (kSkyRed + cardRed) / 2, (kSkyGreen + cardGreen) / 2, (kSkyBlue + cardBlue) / 2, 10))
        << "card " << Hex(card) << ", object " << Hex(object);
    EXPECT_TRUE(NearRgb(left, cardRed, cardGreen, cardBlue, 8)) << Hex(left) << " where it was placed";
}

// A disk-based graphic names the picture it was cut from: another picture asked for in the
// cropping dialog that cannot be read leaves the first one, and the file the object names too.
TEST_F(GraphicObjectInPlugin, ADiskBasedGraphicNamesThePictureItWasCutFrom) {
    ASSERT_TRUE(Open(DisplayDepthStack()));
    SetAdvancedUser(true);  // the disk-based box is for advanced users
    const std::string bmp = SkyBmp(80, 60);
    const std::string broken = written.emplace_back(Temp("broken.bmp"));
    if (FILE* f = std::fopen(broken.c_str(), "wb")) {
        std::fputs("BM not a picture", f);
        std::fclose(f);
    }
    {
        DialogDriver driver(15000);
        ExpectPictureFile(driver, bmp);
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) { box.Press(PCROP_ANOTHER); });
        ExpectPictureFile(driver, broken);
        driver.Expect(DialogMatch::Any(), [](DialogView& box) { box.Press(IDOK); });  // not loaded
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            CropToRectangle(box);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
        Command307(driver);
    }
    ASSERT_TRUE(IsPlacedGraphicShown());
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
            ASSERT_TRUE(box.IsEnabled(GAPPEAR_DISK));
            box.SetChecked(GAPPEAR_DISK, true);
            box.Press(IDOK);
        });
        ClickCard(driver, 5, 5);
    }
    const LayerHandle layer = OnlyGraphicLayer();
    ASSERT_NE(layer, nullptr);
    const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, LayerLock<>(layer)->id);
    ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
    EXPECT_NE(GetU16(record, kObjectFlags) & kObjectHasPath, 0);
    GraphicRecordLayout layout;
    ASSERT_TRUE(ReadGraphicRecordLayout(record, layout));
    const std::string named(layout.fileReference);
    const std::string skyName = bmp.substr(bmp.rfind('\\') + 1);
    EXPECT_TRUE(named.size() >= skyName.size() && named.ends_with(skyName)) << named;
}

// A floating lasso selection: red pixels through a round mask, at (x, y).
void FloatRoundSelection(HWND window, int kind, int x, int y) {
    WindowDC dc(window);
    HBITMAP pixels = CreateCompatibleBitmap(dc.get(), 20, 20);
    HBITMAP mask = CreateBitmap(20, 20, 1, 1, nullptr);
    {
        MemoryDC memory(dc.get());
        SelectedObject selected(memory.get(), pixels);
        PatBlt(memory.get(), 0, 0, 20, 20, BLACKNESS);
        const RECT all = {0, 0, 20, 20};
        OwnedGdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(memory.get(), &all, red.get());
    }
    {
        MemoryDC memory(dc.get());
        SelectedObject selected(memory.get(), mask);
        PatBlt(memory.get(), 0, 0, 20, 20, BLACKNESS);
        SelectedObject brush(memory.get(), GetStockObject(WHITE_BRUSH));
        SelectedObject pen(memory.get(), GetStockObject(WHITE_PEN));
        Ellipse(memory.get(), 0, 0, 20, 20);
    }
    BeginMaskSelection(kind, pixels, mask, MaskOutlineThin(mask), x, y, {});
}

// The card picture's pixel, where the offscreen keeps it.
COLORREF CardPicturePixel(HWND window, int x, int y) {
    WindowDC dc(window);
    HDC offscreen = AcquireOffscreenDC(dc.get());
    const COLORREF pixel = offscreen ? GetPixel(offscreen, x, y) : CLR_INVALID;
    if (offscreen)
        ReleaseOffscreenDC(offscreen);
    return pixel;
}

// The lasso's own record: the mask follows the data, the record is padded when they are odd.
void ExpectMaskedRecord(uint16_t id, RECT rect) {
    const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, id);
    ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
    ExpectObjectRect(record, rect.left, rect.top, rect.right, rect.bottom);
    EXPECT_NE(GetU16(record, kGraphicPictureFlags) & kGraphicHasMask, 0);
    GraphicRecordLayout layout;
    ASSERT_TRUE(ReadGraphicRecordLayout(record, layout));
    EXPECT_FALSE(layout.mask.empty());
    const size_t parts = layout.data.size() + layout.mask.size();
    const bool padded = (GetU16(record, kObjectFlags) & kObjectPadded) != 0;
    EXPECT_EQ(padded, parts % 2 == 1);
    EXPECT_EQ(GetU32(record, kObjectLength), kGraphicHeaderBytes + parts + (padded ? 1 : 0));
}

// A graphic-object lasso selection pressed off becomes an object at its place and the lifted
// area of the card picture takes the hole colour; 307 makes one of the card's own selection.
TEST_F(GraphicObjectInPlugin, LassoSelectionsBecomeMaskedGraphics) {
    const int depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    const sb::Rgb green = {0x40, 0x80, 0x40};
    sb::Stack stack;
    stack.cardWidth = kCardWidth;
    stack.cardHeight = kCardHeight;
    stack.depth = static_cast<uint16_t>(depth);
    stack.cards = {sb::PictureCard(1, sb::SolidPicture(kCardWidth, kCardHeight, depth,
                                                       depth == 16 ? sb::Pixel16(green) : sb::Pixel32(green)))};
    stack.nextObjectId = 5;
    ASSERT_TRUE(Open(stack));
    const COLORREF card = CardPicturePixel(page.embed, 5, 5);

    SelectToolNumber(kLassoTool);
    FloatRoundSelection(page.embed, kMaskFromGraphic, 100, 80);
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
            EXPECT_FALSE(box.IsVisible(GAPPEAR_DISK)) << "not for a paint selection";
            box.SetText(GAPPEAR_NAME, "Moon");
            box.Press(IDOK);
        });
        ClickCard(driver, 10, 10);
    }
    EXPECT_FALSE(HasFloatingSelection());
    ASSERT_EQ(GraphicLayers().size(), 1u);
    const uint16_t moon = LayerLock<>(GraphicLayers()[0])->id;
    ExpectMaskedRecord(moon, {100, 80, 120, 100});
    EXPECT_EQ(GetCurrentTool(), static_cast<uint32_t>(kArrowTool));
    EXPECT_EQ(CardPicturePixel(page.embed, 110, 90), RGB(255, 255, 255)) << "the hole in the card picture";
    EXPECT_EQ(CardPicturePixel(page.embed, 100, 80), card) << "outside the mask the picture stays";

    // 307 over a selection of the card's own pixels asks first, then makes the object.
    SelectToolNumber(kLassoTool);
    FloatRoundSelection(page.embed, kMaskFromCard, 200, 150);
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Alert(2318), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
            box.SetText(GAPPEAR_NAME, "Star");
            box.Press(IDOK);
        });
        Command307(driver);
    }
    const std::vector<LayerHandle> layers = GraphicLayers();
    ASSERT_EQ(layers.size(), 2u);
    ExpectMaskedRecord(LayerLock<>(layers[1])->id, {200, 150, 220, 170});
}

// The pixels of a bitmap, each as 0xRRGGBB.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels;
    MemoryDC memory(nullptr);
    SelectedObject selected(memory.get(), bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(memory.get(), x, y);
            pixels.push_back(uint32_t{GetRValue(c)} << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    return pixels;
}

// 307 over a floating rectangle selection takes the selection's own pixels: not the dashed
// frame the card window shows around them.
TEST_F(GraphicObjectInPlugin, ARectangleSelectionBecomesAGraphicOfItsOwnPixels) {
    SKIP_UNLESS_TRUE_COLOUR("the selection's red is compared exactly");
    ASSERT_TRUE(Open(DisplayDepthStack()));
    constexpr int kWidth = 30, kHeight = 20;
    HBITMAP red = nullptr;
    {
        WindowDC dc(page.embed);
        red = CreateCompatibleBitmap(dc.get(), kWidth, kHeight);
        MemoryDC memory(dc.get());
        SelectedObject selected(memory.get(), red);
        const RECT all = {0, 0, kWidth, kHeight};
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(memory.get(), &all, brush.get());
    }
    SelectToolNumber(kRectSelectTool);
    FloatRectSelectionBitmap(red, 50, 40);
    UpdateWindow(page.embed);
    DrawSelectionFrame(page.embed, 50, 40, 50 + kWidth, 40 + kHeight, 0);  // as the tick draws it
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Alert(2318), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
            box.SetText(GAPPEAR_NAME, "Red");
            box.Press(IDOK);
        });
        Command307(driver);
    }
    const LayerHandle layer = OnlyGraphicLayer();
    ASSERT_NE(layer, nullptr);
    HBITMAP picture = nullptr;
    {
        LayerLock<GraphicLayer> graphic(layer);
        EXPECT_EQ(graphic->common.bounds.left, 50);
        EXPECT_EQ(graphic->common.bounds.top, 40);
        picture = graphic->picture;
    }
    const std::vector<uint32_t> pixels = BitmapPixels(picture, kWidth, kHeight);
    const size_t notRed = static_cast<size_t>(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p != 0xFF0000; }));
    EXPECT_EQ(notRed, 0u) << "edges " << Hex(pixels.front()) << " " << Hex(pixels.back());
    SelectToolNumber(kBrowseTool);
}

TEST_F(GraphicObjectInPlugin, ANewHiddenGraphicHasALayerWhileHiddenOnesAreShown) {
    ASSERT_TRUE(Open(DisplayDepthStack()));
    const std::string bmp = SkyBmp(40, 30);
    SelectToolNumber(kGraphicTool);  // shows hidden graphics
    PumpPageMessages();
    {
        DialogDriver driver(15000);
        ExpectPictureFile(driver, bmp);
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
            DragThrough(view, {{5, 5}, {20, 15}, {35, 25}});
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
        Command307(driver);
    }
    ASSERT_TRUE(IsPlacedGraphicShown());
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(GAPPEAR_FEATURES); });
        driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
            SendMessageA(GetDlgItem(box.Window(), IFE_HIDDEN), BM_SETCHECK, BST_CHECKED, 0);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(IDOK); });
        ClickCard(driver, 5, 5);
    }
    const LayerHandle layer = OnlyGraphicLayer();
    EXPECT_NE(layer, nullptr) << "the hidden graphic is shown with the graphic tool";
    if (layer) {
        const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, LayerLock<>(layer)->id);
        ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
        EXPECT_TRUE(GetU16(record, kObjectFlags) & kObjectHidden);
    }
    SelectToolNumber(kBrowseTool);
}

}  // namespace
