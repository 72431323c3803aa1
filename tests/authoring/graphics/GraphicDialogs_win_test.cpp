// The cropping and appearance dialogs in the hosted plug-in, driven as a person would: a
// rectangle dragged back to its start is no selection (2313, the dialog stays); Scale And
// Rotate can be undone and redone; a lasso of 2,500 points keeps every one; a picture larger
// than the screen gets a dialog of 90 % of it with scroll bars; a missing animation frame file
// gets 2342. "Graphic Appearance" shows
// "Untitled" for an empty name, its width arrows stop at 0 and 20, a visit to Actions... keeps
// every setting, and at 8 bits the opacity controls are off and the stored transparency stays.
// Features... (68, or the appearance dialog's) hiding a graphic takes its layer off the card
// unless the tool shows hidden graphics, and the graphic comes back once it is shown again.
// A turned picture's corners take the fill colour; the "where" question of a new graphic can be
// declined; an appearance dialog that cannot open leaves the layer its picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <commctrl.h>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectServices.h"
#include "objects/buttons/ButtonIcons.h"
#include "core/memory/Handles.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/graphics/LassoPoints.h"
#include "resources/graphics_ids.h"
#include "resources/objinfo_ids.h"
#include "authoring/graphics/GraphicAppearance.h"
#include "authoring/graphics/PictureCrop.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

constexpr int kLassoPoints = 2500;

// A 24-bit BMP of mid grey.
std::string WriteBmp(const std::string& name, int width, int height) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "gdlg-" + ProcessTag() + "-" + name;
    sb::WriteFile(path, sb::BmpFile(sb::SolidPicture(width, height, 32, 0x808080)));
    return path;
}

SIZE PlacedPictureSize() {
    BITMAP info = {};
    GetObject(GetGraphicPlacement().picture, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

class GraphicDialogs : public LinkedPluginTest {
protected:
    void Open(int depth, std::vector<sb::Object> objects = {}) {
        sb::Stack stack;
        stack.cardWidth = 320;
        stack.cardHeight = 240;
        stack.depth = static_cast<uint16_t>(depth);
        stack.cards = {sb::PlainCard(1)};
        stack.cards[0].objects = std::move(objects);
        stack.nextObjectId = 10;
        ASSERT_TRUE(LinkedPluginTest::Open(stack));
    }
    void TearDown() override {
        SetAdvancedUser(false);
        LinkedPluginTest::TearDown();
        for (const std::string& file : files_)
            DeleteFileA(file.c_str());
    }
    std::string Bmp(const std::string& name, int width, int height) {
        files_.push_back(WriteBmp(name, width, height));
        return files_.back();
    }
    std::vector<std::string> files_;
};

TEST_F(GraphicDialogs, CropRefusesNothingUndoesScalingAndKeepsALongLasso) {
    Open(32);
    const std::string bmp = Bmp("small.bmp", 60, 40);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Clip Art");
        HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
        DragThrough(view, {{10, 10}, {30, 30}, {10, 10}, {10, 10}});
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(IDS_ALERT_NOTHING_CROPPED), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        EXPECT_EQ(PlacedPictureSize().cx, 60) << "the dialog stays, its picture too";
        box.Press(PCROP_SCALE);
    });
    driver.Expect(DialogMatch::Template("CROPSCALE"), [](DialogView& box) {
        box.SetText(CROPSCALE_ANGLE, "0");
        box.SetText(CROPSCALE_SCALE_X, "200");
        box.SetText(CROPSCALE_SCALE_Y, "150");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        const SIZE scaled = PlacedPictureSize();
        EXPECT_EQ(scaled.cx, 120);
        EXPECT_EQ(scaled.cy, 60);
        EXPECT_TRUE(box.IsEnabled(PCROP_UNDO));
        box.Press(PCROP_UNDO);
    });
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        EXPECT_EQ(PlacedPictureSize().cx, 60) << "Undo: the picture before scaling";
        box.Press(PCROP_UNDO);
    });
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        EXPECT_EQ(PlacedPictureSize().cx, 120) << "Undo again: the scaled one";
        // The lasso tool, then a drag of 2,500 points round the picture's middle.
        const RECT strip = box.ControlRect(PCROP_TOOLS);
        SendMouse(box.Window(), WM_LBUTTONDOWN, strip.left + 36, strip.top + 12);
        SendMouse(box.Window(), WM_LBUTTONUP, strip.left + 36, strip.top + 12);
        EXPECT_EQ(GetGraphicPlacement().cropKind, kCropLasso);
        HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
        const auto at = [](int i, int* x, int* y) {
            const double turn = 6.283185307 * i / (kLassoPoints - 1);
            *x = 60 + static_cast<int>(std::lround(25 * std::cos(turn)));
            *y = 30 + static_cast<int>(std::lround(20 * std::sin(turn)));
        };
        int x = 0, y = 0;
        at(0, &x, &y);
        SendMouse(view, WM_LBUTTONDOWN, x, y);
        for (int i = 1; i < kLassoPoints - 1; ++i) {
            at(i, &x, &y);
            SendMouse(view, WM_MOUSEMOVE, x, y);
        }
        at(kLassoPoints - 1, &x, &y);
        // Shift: the plain polygon (the picture is one colour, so fitting it would find nothing).
        SendMessageA(view, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(x, y));
        Handle points = 0;
        int32_t count = 0;
        LassoGetPoints(&points, &count);
        EXPECT_EQ(count, kLassoPoints);
        EXPECT_NE(GetGraphicPlacement().mask, nullptr) << "the lasso made a mask";
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return OpenPictureCropDialog(page.embed, 'C', bmp.c_str(), {}, true); }), 2);
    EXPECT_EQ(GetGraphicPlacement().picture, nullptr) << "Cancel deletes the picture";
}

TEST_F(GraphicDialogs, APictureLargerThanTheScreenOpensAtNinetyPercentWithScrollBars) {
    Open(32);
    const int screenWidth = GetSystemMetrics(SM_CXFULLSCREEN), screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    const std::string bmp = Bmp("large.bmp", screenWidth + 200, screenHeight + 200);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("PCROP"), [&](DialogView& box) {
        EXPECT_EQ(box.WindowSize().cx, static_cast<int>(screenWidth * 0.9));
        EXPECT_EQ(box.WindowSize().cy, static_cast<int>(screenHeight * 0.9));
        HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
        int low = -1, high = -1;
        GetScrollRange(view, SB_HORZ, &low, &high);
        EXPECT_EQ(high, 100);
        GetScrollRange(view, SB_VERT, &low, &high);
        EXPECT_EQ(high, 100);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return OpenPictureCropDialog(page.embed, 'G', bmp.c_str(), {}, true); }), 2);

    // An animation frame from a file that is not there: 2342, nothing handed out.
    DialogDriver missing(15000);
    missing.Expect(DialogMatch::Alert(IDS_ALERT_CANNOT_READ_PICTURE), [](DialogView& box) { box.Press(52); });
    HBITMAP frame = reinterpret_cast<HBITMAP>(1), mask = reinterpret_cast<HBITMAP>(1);
    CropKind kind = kCropRectangle;
    COLORREF colour = 0;
    const std::string gone = bmp + ".gone";
    EXPECT_FALSE(missing.Run([&] { return CropPictureForAnimation(page.embed, gone.c_str(), &frame, &mask, &kind, &colour); }));
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(mask, nullptr);
}

sb::Object Cloud(uint16_t id, uint16_t transparency, int depth) {
    sb::Object graphic = sb::Graphic(id, {20, 20, 40, 40}, "");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(20, 20, depth, depth == 32 ? 0x3080C0 : depth == 16 ? 0x1234 : 5));
    graphic.words.push_back({kGraphicTransparency, transparency});
    return graphic;
}

std::vector<uint8_t> CloudRecord() { return OpenStackObject(GetCurrentCardId(), kObjectGraphic, 3); }

void ClickArrow(DialogView& box, bool up, int times) {
    const RECT arrows = box.ControlRect(GAPPEAR_ARROWS);
    const int y = up ? arrows.top + 3 : arrows.bottom - 3;
    for (int i = 0; i < times; ++i) {
        SendMouse(box.Window(), WM_LBUTTONDOWN, arrows.left + 3, y);
        SendMouse(box.Window(), WM_LBUTTONUP, arrows.left + 3, y);
    }
}

TEST_F(GraphicDialogs, AppearanceArrowsStopAndActionsKeepEverySetting) {
    SKIP_UNLESS_TRUE_COLOUR("the opacity controls are off at 8 bits (a test of its own)");
    // At the display's depth: a deeper stack would ask to lose colours at its first edit.
    const int depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    Open(depth, {Cloud(3, 0, depth)});
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr);
    SetAdvancedUser(true);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
        EXPECT_EQ(box.Text(GAPPEAR_NAME), "Untitled");
        ClickArrow(box, false, 2);
        EXPECT_EQ(box.Text(GAPPEAR_WIDTH), "0");
        ClickArrow(box, true, 25);
        EXPECT_EQ(box.Text(GAPPEAR_WIDTH), "20");
        box.SetText(GAPPEAR_NAME, "Cloud");
        HWND slider = GetDlgItem(box.Window(), GAPPEAR_OPACITY_SLIDER);
        SendMessageA(slider, TBM_SETPOS, TRUE, 70);
        SendMessageA(box.Window(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 70), reinterpret_cast<LPARAM>(slider));
        box.Press(GAPPEAR_ACTIONS);
    });
    // The actions dialog is cancelled; the dialog comes back as it was.
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
        EXPECT_EQ(box.Text(GAPPEAR_NAME), "Cloud");
        EXPECT_EQ(box.Text(GAPPEAR_WIDTH), "20");
        EXPECT_EQ(box.Text(GAPPEAR_OPACITY), "70");
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditGraphicAppearance(page.embed, FindLayer(kObjectGraphic, 3)); }), 1);
    const std::vector<uint8_t> record = CloudRecord();
    ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
    EXPECT_EQ(GetU16(record, kGraphicFrameWidth), 20);
    EXPECT_EQ(GetU16(record, kGraphicTransparency), 30);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kGraphicName + 1]), record[kGraphicName]), "Cloud");
    LayerLock<GraphicLayer> layer(FindLayer(kObjectGraphic, 3));
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->frameWidth, 20);
    EXPECT_EQ(layer->transparency, 30);
}

TEST_F(GraphicDialogs, AtEightBitsOpacityIsOffAndTheStoredTransparencyStays) {
    Open(8, {Cloud(3, 30, 8)});
    SetAdvancedUser(true);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) {
        EXPECT_FALSE(box.IsEnabled(GAPPEAR_OPACITY_SLIDER));
        EXPECT_FALSE(box.IsEnabled(GAPPEAR_OPACITY));
        ClickArrow(box, true, 1);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditGraphicAppearance(page.embed, FindLayer(kObjectGraphic, 3)); }), 1);
    const std::vector<uint8_t> record = CloudRecord();
    ASSERT_GE(record.size(), size_t{kGraphicHeaderBytes});
    EXPECT_EQ(GetU16(record, kGraphicTransparency), 30);
    EXPECT_EQ(GetU16(record, kGraphicFrameWidth), 1);
}

// Features... (68) on the selected graphic with its Hidden box set as given.
void SetHiddenThroughFeatures(HWND window, bool hidden) {
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("IFEATURE"), [hidden](DialogView& box) {
        EXPECT_NE(box.IsChecked(IFE_HIDDEN), hidden);
        SendMessageA(GetDlgItem(box.Window(), IFE_HIDDEN), BM_SETCHECK, hidden ? BST_CHECKED : BST_UNCHECKED, 0);
        box.Press(IDOK);
    });
    driver.Run([&] {
        SendMessageA(window, WM_COMMAND, 68, 0);
        return 0;
    });
}

bool StoredHidden(uint16_t id) {
    const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, id);
    return record.size() > kObjectFlags + 1 && (GetU16(record, kObjectFlags) & kObjectHidden);
}

TEST_F(GraphicDialogs, FeaturesHidingAGraphicTakesItsLayerOffUnlessHiddenOnesAreShown) {
    const int depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    sb::Object other = Cloud(4, 0, depth);
    other.rect = {60, 20, 80, 40};
    Open(depth, {Cloud(3, 0, depth), other});
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr) << "browse";
    // The arrow tool shows hidden graphics: the hidden one keeps a layer, in its place, selected.
    SelectToolNumber(kArrowTool);
    PumpPageMessages();
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr);
    SelectObjectLayer(FindLayer(kObjectGraphic, 3));
    SetHiddenThroughFeatures(page.embed, true);
    EXPECT_TRUE(StoredHidden(3));
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr);
    EXPECT_EQ(GetSelectedObject(), FindLayer(kObjectGraphic, 3));
    EXPECT_EQ(GetLayerListHead(), FindLayer(kObjectGraphic, 3)) << "still behind the other";
    // Shown again, it stays when the browse tool takes the hidden ones away.
    SetHiddenThroughFeatures(page.embed, false);
    EXPECT_FALSE(StoredHidden(3));
    SelectToolNumber(kBrowseTool);
    PumpPageMessages();
    EXPECT_NE(FindLayer(kObjectGraphic, 3), nullptr);

    // A tool that shows no hidden graphics: the graphic hidden leaves the layers at once.
    SelectToolNumber(kButtonTool);
    PumpPageMessages();
    ASSERT_NE(FindLayer(kObjectGraphic, 4), nullptr);
    SelectObjectLayer(FindLayer(kObjectGraphic, 4));
    SetHiddenThroughFeatures(page.embed, true);
    EXPECT_TRUE(StoredHidden(4));
    EXPECT_EQ(FindLayer(kObjectGraphic, 4), nullptr);
    EXPECT_EQ(GetSelectedObject(), nullptr);
    SelectToolNumber(kArrowTool);
    PumpPageMessages();
    EXPECT_NE(FindLayer(kObjectGraphic, 4), nullptr) << "shown with the hidden ones";

    // The same through the appearance dialog's Features...
    SelectToolNumber(kButtonTool);
    PumpPageMessages();
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(GAPPEAR_FEATURES); });
    driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        SendMessageA(GetDlgItem(box.Window(), IFE_HIDDEN), BM_SETCHECK, BST_CHECKED, 0);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(driver.Run([&] { return EditGraphicAppearance(page.embed, FindLayer(kObjectGraphic, 3)); }), 1);
    EXPECT_TRUE(StoredHidden(3));
    EXPECT_EQ(FindLayer(kObjectGraphic, 3), nullptr);
}

uint16_t StoredCursor(uint16_t id) {
    const std::vector<uint8_t> record = OpenStackObject(GetCurrentCardId(), kObjectGraphic, id);
    return record.size() > kGraphicCursor + 1 ? GetU16(record, kGraphicCursor) : 0xFFFF;
}

// A cursor chosen in a graphic's Features... (here one from a disk folder, not yet the stack's)
// becomes the stack's own resource named by that graphic's record, and is not left pending for
// the next object saved (another graphic's appearance), also after a save.
TEST_F(GraphicDialogs, ACursorChosenInFeaturesIsStoredOnThatGraphicOnly) {
    const int depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    constexpr uint16_t kBuiltInCursor = kFirstBuiltInIcon + 32;
    sb::Object first = Cloud(3, 0, depth);
    first.words.push_back({kGraphicCursor, kBuiltInCursor});
    sb::Object other = Cloud(4, 0, depth);
    other.rect = {60, 20, 80, 40};
    Open(depth, {first, other});
    SelectToolNumber(kArrowTool);
    PumpPageMessages();
    ASSERT_NE(FindLayer(kObjectGraphic, 3), nullptr);
    ASSERT_EQ(StoredCursor(3), kBuiltInCursor);
    ASSERT_EQ(StoredCursor(4), 0);
    // A cursor file chosen from a disk folder in the features' chooser: not yet the stack's.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "gdlg-cursor-" + ProcessTag();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string still = folder + "\\still.cur";
    ASSERT_TRUE(sb::WriteFile(still, sb::CursorFile(32, {0, 0, 0}, 2, 2)));
    files_.push_back(still);
    SelectObjectLayer(FindLayer(kObjectGraphic, 3));
    DialogDriver features(20000);
    features.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IFE_CURSOR));
        box.Press(IFE_CURSOR);  // still checked: the chooser opens
    });
    features.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        SendMessageA(GetDlgItem(box.Window(), ICN_DISK), BM_SETCHECK, BST_CHECKED, 0);
        box.Press(ICN_DISK);
    });
    features.Expect(DialogMatch::Caption("Open"), [still](DialogView& box) {
        box.SetText(box.Exists(1148) ? 1148 : 1152, still);
        box.Press(IDOK);
    });
    features.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_EQ(box.ListCount(ICN_GRID), 1);
        box.Press(IDOK);
    });
    features.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) { box.Press(IDOK); });
    features.Run([&] {
        SendMessageA(page.embed, WM_COMMAND, 68, 0);
        return 0;
    });
    const uint16_t chosen = StoredCursor(3);
    EXPECT_NE(chosen, kBuiltInCursor);
    const std::vector<uint8_t> cursorBytes = StackCursorData(chosen);
    EXPECT_FALSE(cursorBytes.empty()) << "the record names a cursor the stack has";
    EXPECT_EQ(GetIconSelection()->data, Handle{});

    DialogDriver appearance(15000);
    appearance.Expect(DialogMatch::Template("GAPPEAR"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(appearance.Run([&] { return EditGraphicAppearance(page.embed, FindLayer(kObjectGraphic, 4)); }), 1);
    EXPECT_EQ(StoredCursor(4), 0) << "the other graphic took the pending cursor";

    EXPECT_TRUE(SaveOpenStack(page.embed));
    EXPECT_EQ(StoredCursor(3), chosen);
    EXPECT_EQ(StoredCursor(4), 0);
    EXPECT_EQ(StackCursorData(chosen), cursorBytes);
    EXPECT_EQ(LayerLock<GraphicLayer>(FindLayer(kObjectGraphic, 3))->cursorId, chosen);
    SelectToolNumber(kBrowseTool);  // the next test starts browsing
    PumpPageMessages();
    DeleteFileA(still.c_str());
    RemoveDirectoryA(folder.c_str());
}

// A turned picture's uncovered corners take the colour chosen for filling; "Where do you want
// your graphic object on the screen?" can be declined, and then nothing is placed.
TEST_F(GraphicDialogs, TurnedCornersTakeTheFillColourAndDecliningWhereEndsTheCrop) {
    Open(32);
    const std::string bmp = Bmp("turn.bmp", 60, 40);
    SetToolColor('f', kCustomColorIndex);
    SetCustomColor(RGB(0, 200, 0));
    const COLORREF fill = PaletteIndexToColor(kCustomColorIndex) & 0xFFFFFF;
    ASSERT_NE(fill, RGB(255, 255, 255)) << "the test needs a fill that is not white";
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) { box.Press(PCROP_SCALE); });
    driver.Expect(DialogMatch::Template("CROPSCALE"), [](DialogView& box) {
        box.SetText(CROPSCALE_ANGLE, "45");
        box.SetText(CROPSCALE_SCALE_X, "100");
        box.SetText(CROPSCALE_SCALE_Y, "100");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("PCROP"), [fill](DialogView& box) {
        const COLORREF corner = BitmapPixel(GetGraphicPlacement().picture, 0, 0);
        EXPECT_TRUE(browsertest::NearRgb(uint32_t{GetRValue(corner)} << 16 | GetGValue(corner) << 8 | GetBValue(corner),
                            GetRValue(fill), GetGValue(fill), GetBValue(fill), 8))
            << browsertest::Hex(corner) << " where the turn uncovered the corner";
        HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
        DragThrough(view, {{20, 20}, {40, 35}, {50, 40}});
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) {
        EXPECT_TRUE(box.Exists(IDCANCEL)) << "the question can be declined";
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return OpenPictureCropDialog(page.embed, 'G', bmp.c_str(), {}, true); }), 2);
    EXPECT_FALSE(IsPlacedGraphicShown()) << "declined: nothing to place";
    EXPECT_EQ(GetGraphicPlacement().picture, nullptr);
    SetToolColor('f', 0);
}

// The appearance dialog that cannot open on an existing graphic leaves its layer's bitmaps to
// the layer: the next placing's clean-up does not delete them.
TEST_F(GraphicDialogs, AnAppearanceDialogThatCannotOpenLeavesTheLayersPicture) {
    const int depth = GetDisplayBitsPerPixel() <= 8 ? 8 : GetDisplayBitsPerPixel() == 16 ? 16 : 32;
    Open(depth, {Cloud(3, 0, depth)});
    const LayerHandle layer = FindLayer(kObjectGraphic, 3);
    ASSERT_NE(layer, nullptr);
    const HBITMAP picture = LayerLock<GraphicLayer>(layer)->picture;
    ASSERT_NE(picture, nullptr);
    // Resources from a module without the dialog's template: the dialog cannot be made.
    const HINSTANCE own = GetAppInstance();
    SetAppInstance(GetModuleHandleA("kernel32.dll"));
    DialogDriver driver;
    EXPECT_EQ(driver.Run([&] { return EditGraphicAppearance(page.embed, layer); }), 2);
    SetAppInstance(own);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    EXPECT_EQ(GetGraphicPlacement().picture, nullptr) << "the placement lets go of the layer's picture";
    EXPECT_EQ(GetGraphicPlacement().editedLayer, nullptr);
    CancelPlacedGraphic(page.embed);
    BITMAP info = {};
    EXPECT_NE(GetObject(picture, sizeof info, &info), 0) << "the layer's picture lives";
}

}  // namespace
