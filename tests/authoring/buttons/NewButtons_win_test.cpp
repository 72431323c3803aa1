// New buttons in the hosted plug-in: command 306, "BUTTONDLG" answered by the dialog driver,
// placing with the mouse, the record written and saved (read back by stackreport), and the saved
// stack shown by the real plug-in in the test browser; editing an existing button; freehand
// shapes; a new button's actions and a shape picked from the card, saved and clicked in the test
// browser; the colours of new buttons and text objects, from their grids to the saved file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/CurrentColors.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/PaletteCaption.h"
#include "host/palettes/FcolorsWindow.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "host/menus/MenuCommands.h"
#include "host/palettes/ToolPalette.h"
#include "objects/ObjectServices.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "resources/actions_ids.h"
#include "resources/buttons_ids.h"
#include "resources/objinfo_ids.h"
#include "resources/timers_ids.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "format/StackFile.h"
#include "graphics/palette/DefaultPalette.h"
#include "stack/StackOpenSession.h"
#include "format/ResFile.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ReportJson.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;

constexpr int kWidth = 400, kHeight = 300;
constexpr uint16_t kField = 21, kOldButton = 5, kFirstNewId = 40;
constexpr int kWhereAlert = 2328, kTextWhereAlert = 2370, kShapeTooSmallAlert = 2206;
constexpr int kTextInfoTextGrid = 50, kTextInfoBackGrid = 51;  // "TEXTINFO"'s colour grids

// A red oval on the white card, in the picture a filled shape button is picked from.
constexpr RECT kOval = {40, 190, 140, 250};

bool InOval(int x, int y) {
    const double cx = (kOval.left + kOval.right) / 2.0, cy = (kOval.top + kOval.bottom) / 2.0;
    const double rx = (kOval.right - kOval.left) / 2.0, ry = (kOval.bottom - kOval.top) / 2.0;
    const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// A white card with a red oval, a field and a button to the next card, then a blue card.
sb::Stack WhiteCard() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    // 8 bits: no display depth asks to reduce its colours when a tool is chosen.
    stack.depth = 8;
    sb::Picture white = sb::SolidPicture(kWidth, kHeight, 8, 0);
    white.palette = {{255, 255, 255}, {255, 0, 0}};
    for (int y = kOval.top; y < kOval.bottom; ++y)
        for (int x = kOval.left; x < kOval.right; ++x)
            if (InOval(x, y))
                white.pixels[size_t(y) * kWidth + size_t(x)] = 1;
    sb::Card card = sb::PictureCard(1, white);
    card.objects = {sb::TextField(kField, {300, 250, 390, 290}, "Words", "alpha"),
                    sb::ShapedButton(kOldButton, {300, 10, 380, 40}, "Old", 2, 0, -1)};
    sb::Card blue = sb::PictureCard(2, sb::SolidPicture(kWidth, kHeight, 8, 0));
    blue.picture->palette = {{0, 0, 255}};
    stack.cards = {card, blue};
    stack.nextObjectId = kFirstNewId;
    return stack;
}

class NewButtonsTest : public LinkedPluginTest {
protected:
    void SetUp() override {
        advanced_ = IsAdvancedUser();
        ASSERT_TRUE(Open(WhiteCard()));
        SetAdvancedUser(false);
        card_ = GetCardWindow();
        ASSERT_TRUE(card_);
    }
    void TearDown() override {
        LinkedPluginTest::TearDown();
        SetAdvancedUser(advanced_);
    }
    HWND FieldWindow(uint16_t id) {
        LayerLock<FieldLayer> field(FindLayer(kObjectText, id));
        return field ? field->window : nullptr;
    }
    int ButtonRecords(uint16_t id) {
        HandleLock lock(GetCurrentCardRecord());
        CardObjectWalk walk(lock.bytes());
        ObjectPlace place;
        int count = 0;
        while (walk.Next(place))
            count += place.kind == kObjectButton && place.id == id ? 1 : 0;
        return count;
    }
    // The open stack saved; the saved file read by stackreport into *report and shown by the
    // real plug-in in the test browser, clicked at the point: the card shown afterwards.
    Shot SaveAndClick(POINT click, std::string* report) {
        EXPECT_EQ(SaveStack(kSlotCurrentStack, true), 0);
        char file[MAX_PATH] = {};
        GetFileSpecPath(kSlotCurrentStack, sizeof file, file);
        ServerFolder server;
        const std::string name = "nbut-walk-" + ProcessTag() + ".stk";
        const std::string path = server.Put(name, ReadFile(file));
        const BrowserRun listed = RunProgram(StackReporterPath(), server, {path});
        EXPECT_EQ(listed.exitCode, 0) << listed.errors;
        *report = Joined(listed.log);
        const std::string shot = server.Name("clicked.png");
        const BrowserRun run = RunBrowser(
            server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size",
                     std::to_string(kWidth) + "x" + std::to_string(kHeight), "--click",
                     std::to_string(click.x) + "," + std::to_string(click.y) + "@900", "--screenshot", shot,
                     "--screenshot-after", "3000", "--quit-after-last", "500", "http://localhost/" + name});
        EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        return Shot(shot);
    }
    HWND card_ = nullptr;
    bool advanced_ = false;
};

// A click in the "BUTTONS" picture's cell of the shape (2 columns by 4 rows, 120 by 160 pixels,
// centred in its frame).
void ClickShape(DialogView& box, int shape) {
    const RECT frame = box.ControlRect(IDC_BUTTON_SHAPES);
    const int left = (frame.left + frame.right) / 2 - 60, top = (frame.top + frame.bottom) / 2 - 80;
    const int x = left + (shape % 2) * 60 + 30, y = top + (shape / 2) * 40 + 20;
    SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

int DarkPixels(const Shot& shot, const RECT& r) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            dark += ((shot.At(x, y) >> 16 & 255) + (shot.At(x, y) >> 8 & 255) + (shot.At(x, y) & 255)) < 200 ? 1 : 0;
    return dark;
}

TEST_F(NewButtonsTest, Command306PlacesSavesAndTheBrowserShowsItWithAField) {
    HWND words = FieldWindow(kField);
    ASSERT_TRUE(words);
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Button Appearance");
        EXPECT_EQ(box.Text(IDC_BUTTON_NAME), "New Button");
        EXPECT_EQ(SendDlgItemMessageA(box.Window(), IDC_BUTTON_NAME, EM_GETLIMITTEXT, 0, 0), 31);
        EXPECT_FALSE(box.IsVisible(IDC_BUTTON_ACTIONS)) << "a new button has no actions yet";
        EXPECT_FALSE(box.IsVisible(IDC_BUTTON_FEATURES)) << "only for advanced users";
        EXPECT_FALSE(box.IsVisible(IDC_BUTTON_FORMAT));
        EXPECT_TRUE(box.IsChecked(IDC_BUTTON_SHOW_NAME));
        EXPECT_TRUE(box.IsChecked(IDC_BUTTON_HIGHLIGHT));
        ClickShape(box, 2);
        box.SetText(IDC_BUTTON_NAME, "Go Next");
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return DoMenuCommand(page.embed, 306, 0, nullptr); });
    ASSERT_TRUE(IsPlacingButton());
    EXPECT_FALSE(IsWindowVisible(words)) << "the fields are hidden while a button is placed";
    EXPECT_EQ(GetHandleWord(GetStackHeaderHandle(), kHeaderNextObjectId), kFirstNewId + 1) << "the counter grows by one";

    // Automatic size for a rectangle: half width t/2 + w, half height L, centred in the card.
    RECT r = PlacedButtonRect();
    EXPECT_NEAR((r.left + r.right) / 2, kWidth / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, kHeight / 2, 1);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        LOGFONTA font{};
        {
            SpareLock lock(GetSpareButton());
            font = lock.layer().font;
        }
        HFONT made = CreateFontIndirectA(&font);
        HGDIOBJ old = SelectObject(dc, made);
        SIZE m{}, name{};
        GetTextExtentPoint32A(dc, "M", 1, &m);
        GetTextExtentPoint32A(dc, "Go Next", 7, &name);
        SelectObject(dc, old);
        DeleteObject(made);
        DeleteDC(dc);
        EXPECT_EQ(r.right - r.left, 2 * static_cast<int>(name.cx / 2.0 + m.cx));
        EXPECT_EQ(r.bottom - r.top, 2 * m.cy);
    }

    // The top-left corner dragged with Shift: the larger delta goes to both axes. The real
    // pointer waits in the screen's corner, where the system cannot add its place as a move.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    SetShift(true);
    DragThrough(card_, {{r.left, r.top}, {r.left - 5, r.top - 20}, {r.left - 5, r.top - 20}});
    SetShift(false);
    RECT dragged = PlacedButtonRect();
    EXPECT_EQ(dragged.left, r.left - 20);
    EXPECT_EQ(dragged.top, r.top - 20);
    // Dragged by its inside to the top-left, then a click outside ends placing.
    const int dx = 20 - dragged.left, dy = 20 - dragged.top;
    const POINT to{dragged.left + 5 + dx, dragged.top + 5 + dy};
    DragThrough(card_, {{dragged.left + 5, dragged.top + 5}, to, to});
    const RECT placed = PlacedButtonRect();
    EXPECT_EQ(placed.left, 20);
    EXPECT_EQ(placed.top, 20);
    {
        // Placed: the new button's actions dialog, Done with none.
        DialogDriver actions;
        actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
        actions.Run([&] {
            SendMouse(card_, WM_LBUTTONDOWN, 250, 200);
            SendMouse(card_, WM_LBUTTONUP, 250, 200);
            return 0;
        });
    }
    EXPECT_FALSE(IsPlacingButton());
    EXPECT_TRUE(IsWindowVisible(words)) << "and shown again";

    LayerHandle layer = FindLayer(kObjectButton, kFirstNewId);
    ASSERT_TRUE(layer);
    EXPECT_EQ(LayerLock<ButtonLayer>(layer)->common.bounds.right, placed.right);
    EXPECT_EQ(ButtonRecords(kFirstNewId), 1);
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kFirstNewId);
    ASSERT_EQ(record.size(), kButtonHeaderBytes);
    EXPECT_EQ(GetU32(record, kObjectLength), kButtonHeaderBytes);
    EXPECT_EQ(GetU16(record, kButtonShape), 2);
    EXPECT_EQ(GetU16(record, kButtonOptions), kButtonShowName);
    EXPECT_EQ(GetU16(record, kButtonNameColor), FindPaletteIndexOfColor(GetAppPalette(), RGB(0, 0, 0)) + 1);
    EXPECT_EQ(GetU16(record, kButtonFillColor), FindPaletteIndexOfColor(GetAppPalette(), RGB(255, 255, 255)) + 1);
    EXPECT_EQ(record[kButtonName], 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kButtonName + 1]), 7), "Go Next");
    UpdateWindow(card_);
    EXPECT_EQ(WindowPixel(card_, placed.left - 2, (placed.top + placed.bottom) / 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(WindowPixel(card_, placed.left, (placed.top + placed.bottom) / 2) & 0xFFFFFF, 0u) << "the rectangle's edge";

    // A text object beside it (308), with typed words.
    DialogDriver where;
    where.Expect(DialogMatch::Alert(kTextWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    where.Run([&] { return DoMenuCommand(page.embed, 308, 0, nullptr); });
    const RECT field = PlacedTextFieldRect();
    DragThrough(card_, {{field.left, field.top}, {160, 120}, {160, 120}});
    DialogDriver info;
    info.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(IDOK); });
    SendMouse(card_, WM_LBUTTONDOWN, 20, 280);
    info.Run([&] { SendMouse(card_, WM_LBUTTONUP, 20, 280); return 0; });
    LayerHandle made = GetActiveTextField();
    ASSERT_TRUE(made);
    TextReplaceSel(LayerLock<FieldLayer>(made)->window, "Typed words here");
    MarkFieldModified(made);
    const RECT fieldRect = LayerLock<FieldLayer>(made)->common.bounds;

    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), 0);
    char file[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof file, file);
    const std::string saved = ReadFile(file);
    ASSERT_FALSE(saved.empty());

    ServerFolder server;
    const std::string name = "nbut-" + ProcessTag() + ".stk";
    const std::string path = server.Put(name, saved);
    const char* build = std::getenv("LOOM_BUILD");
    ASSERT_TRUE(build);
    const BrowserRun report = RunProgram(StackReporterPath(), server, {path});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const std::string json = Joined(report.log);
    const std::string button = ReportedObjectWithId(json, 40);
    ASSERT_EQ(ReportedNumber(button, "kind"), kObjectButton) << json;
    EXPECT_EQ(ReportedText(button, "name"), "Go Next") << button;
    EXPECT_EQ(ReportedNumber(button, "shape"), 2) << button;
    EXPECT_EQ(ReportedNumber(button, "options"), 8) << button;
    const std::vector<std::string> texts = ReportedTexts(json);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const std::string& t) { return t.find("Typed words here") != std::string::npos; }))
        << json;

    const std::string shot = server.Name("shown.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--log", "--size", "400x300", "--screenshot", shot,
                                               "--screenshot-after", "1200", "--quit-when-done", path});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot screen(shot);
    ASSERT_EQ(screen.width, UINT(kWidth)) << Joined(run.log);
    EXPECT_GT(DarkPixels(screen, placed), 2 * (placed.right - placed.left)) << "the button's frame and name";
    EXPECT_GT(DarkPixels(screen, fieldRect), 60) << "the field's frame and words";
    EXPECT_EQ(DarkPixels(screen, {150, 20, 280, 100}), 0) << "the card elsewhere stays white";
}

TEST_F(NewButtonsTest, EditingAButtonKeepsOneRecordAndShowIconCancelledStaysOff) {
    LayerHandle old = FindLayer(kObjectButton, kOldButton);
    ASSERT_TRUE(old);
    SelectToolNumber(kButtonTool);
    DialogDriver edit;
    edit.Expect(DialogMatch::Template("BUTTONDLG"), [&](DialogView& box) {
        EXPECT_TRUE(box.IsVisible(IDC_BUTTON_ACTIONS));
        EXPECT_FALSE(box.IsVisible(IDC_BUTTON_FORMAT));
        EXPECT_EQ(box.Text(IDC_BUTTON_NAME), "Old");
        EXPECT_NE(LayerLock<ButtonLayer>(old)->beingEdited, 0u) << "the card skips the button being edited";
        CheckDlgButton(box.Window(), IDC_BUTTON_SHOW_ICON, BST_CHECKED);
        PostMessageA(box.Window(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_SHOW_ICON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.Window(), IDC_BUTTON_SHOW_ICON)));
    });
    edit.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) { box.Press(IDCANCEL); });
    edit.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        EXPECT_FALSE(box.IsChecked(IDC_BUTTON_SHOW_ICON)) << "no icon chosen: Show Icon stays off";
        box.SetText(IDC_BUTTON_NAME, "Renamed");
        box.Press(IDOK);
    });
    // A person new to it is reminded once to test it with the browse tool.
    edit.Expect(DialogMatch::Template("NOVICE1"), [](DialogView& box) { box.Press(IDC_NOVICE_BROWSE); });
    EXPECT_TRUE(edit.Run([&] { return EditButtonAppearance(card_, old, false); }));
    EXPECT_EQ(GetCurrentTool(), static_cast<uint32_t>(kBrowseTool));
    EXPECT_EQ(ButtonRecords(kOldButton), 1) << "OK on an existing button writes no second record";
    EXPECT_FALSE(IsButtonEditPending());
    EXPECT_EQ(LayerLock<ButtonLayer>(old)->beingEdited, 0u);
    EXPECT_STREQ(LayerLock<ButtonLayer>(old)->name, "Renamed");
    EXPECT_EQ(LayerLock<ButtonLayer>(old)->showIcon, 0);
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kOldButton);
    ASSERT_GE(record.size(), kButtonHeaderBytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kButtonName + 1]), record[kButtonName]), "Renamed");
    EXPECT_EQ(GetU16(record, kButtonOptions) & kButtonShowIcon, 0);

    SetAdvancedUser(true);
    DialogDriver again;
    again.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsVisible(IDC_BUTTON_FEATURES)) << "an advanced user sees Features...";
        EXPECT_TRUE(box.IsVisible(IDC_BUTTON_FORMAT));
        box.Press(IDOK);
    });
    again.Run([&] { return EditButtonAppearance(card_, old, false); });
    EXPECT_EQ(again.DialogsSeen(), 1) << "the reminder shows once";
    EXPECT_EQ(ButtonRecords(kOldButton), 1);
}

TEST_F(NewButtonsTest, AnIconThenACursorChosenInOneEditAreStoredEachAsItsKind) {
    LayerHandle old = FindLayer(kObjectButton, kOldButton);
    ASSERT_TRUE(old);
    const std::vector<uint8_t> icon = sb::IconFile(16, {255, 0, 0}), cursor = sb::IconFile(16, {0, 0, 255});
    ButtonLayer edited = *LayerLock<ButtonLayer>(old).get();
    edited.showIcon = 1;
    edited.icon = NewHandleFromBytes(icon);
    edited.cursorId = 0;
    // The cursor was chosen in the features after the icon: the selection holds the cursor.
    *GetIconSelection() = {0, 0, 0, NewHandleFromBytes(cursor)};
    ASSERT_TRUE(ButtonLayerToRecord(edited, false, true));
    DisposeHandle(edited.icon);
    EXPECT_FALSE(GetIconSelection()->data) << "the choice is used up";
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kOldButton);
    ASSERT_GE(record.size(), kButtonHeaderBytes);
    const uint16_t iconId = GetU16(record, kButtonIconId), cursorId = GetU16(record, kButtonCursorId);
    EXPECT_NE(iconId, 0);
    EXPECT_NE(cursorId, 0);
    EXPECT_EQ(GetU16(record, kButtonOptions) & kButtonShowIcon, kButtonShowIcon);
    StackResFileCurrent stackFile;
    EXPECT_EQ(HandleToBytes(GetResource(kIcon, iconId)), icon);
    EXPECT_EQ(HandleToBytes(GetResource(kCrsr, cursorId)), cursor);
    EXPECT_EQ(ButtonRecords(kOldButton), 1);
}

TEST_F(NewButtonsTest, FreehandShapesAreDrawnPickedOrTooSmall) {
    // Shape 5 drawn with the pencil: alert 2250, then the button is written with its mask.
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        ClickShape(box, 5);
        EXPECT_FALSE(box.IsChecked(IDC_BUTTON_SHOW_NAME)) << "a freehand shape hides the name";
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(2263), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Expect(DialogMatch::Alert(2203), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return StartNewButton(card_, true); });
    ASSERT_TRUE(IsPlacingButton());
    // A line encloses nothing: too small, Try Again. The real pointer waits in the screen's
    // corner: where the alerts above closed over the card, the system would add its place as a
    // move of the drag.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    DialogDriver small;
    small.Expect(DialogMatch::Alert(2206), [](DialogView& box) { box.Press(kAlertButton1); });
    SendMouse(card_, WM_LBUTTONDOWN, 100, 100);
    SendMouse(card_, WM_MOUSEMOVE, 180, 100);
    const HCURSOR pen = LoadCursorA(GetAppInstance(), "PEN");
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(GetCursor(), pen) << "the pencil draws the shape";
    small.Run([&] { SendMouse(card_, WM_LBUTTONUP, 180, 100); return 0; });
    EXPECT_TRUE(IsPlacingButton());

    SendMouse(card_, WM_LBUTTONDOWN, 100, 100);
    for (POINT p : {POINT{180, 100}, POINT{180, 160}, POINT{100, 160}})
        SendMouse(card_, WM_MOUSEMOVE, p.x, p.y);
    DialogDriver defined;
    defined.Expect(DialogMatch::Alert(2250), [](DialogView& box) { box.Press(kAlertButton1); });
    defined.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    defined.Run([&] { SendMouse(card_, WM_LBUTTONUP, 100, 100); return 0; });
    EXPECT_FALSE(IsPlacingButton());
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kFirstNewId);
    ASSERT_GT(record.size(), kButtonHeaderBytes) << "the mask follows as a chunk";
    EXPECT_EQ(GetU16(record, kButtonShape), 5);
    EXPECT_EQ(GetU16(record, kButtonHeaderBytes), 130);
    LayerHandle layer = FindLayer(kObjectButton, kFirstNewId);
    ASSERT_TRUE(layer);
    EXPECT_TRUE(LayerLock<ButtonLayer>(layer)->freehandMask);
    EXPECT_NEAR(LayerLock<ButtonLayer>(layer)->common.bounds.left, 100, 1);

    // A lasso released with Ctrl picks the area under the release point instead: the oval.
    DialogDriver lasso;
    lasso.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        ClickShape(box, 7);
        box.Press(IDOK);
    });
    lasso.Expect(DialogMatch::Alert(2263), [](DialogView& box) { box.Press(kAlertButton1); });
    lasso.Expect(DialogMatch::Alert(2205), [](DialogView& box) { box.Press(kAlertButton1); });
    lasso.Run([&] { return StartNewButton(card_, true); });
    SendMouse(card_, WM_LBUTTONDOWN, 80, 210);
    SendMouse(card_, WM_MOUSEMOVE, 90, 220);
    EXPECT_EQ(GetCursor(), LoadCursorA(GetAppInstance(), "LASSO")) << "the lasso encircles the graphic";
    DialogDriver picked;
    picked.Expect(DialogMatch::Alert(2250), [](DialogView& box) { box.Press(kAlertButton2); });
    picked.Run([&] {
        SendMessageA(card_, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(90, 220));
        PumpPageMessages();
        return 0;
    });
    {
        SpareLock lock(GetSpareButton());
        EXPECT_EQ(lock.layer().shape, 6);
        EXPECT_FALSE(lock.layer().freehandMask) << "Try Again drops the mask";
    }
    EXPECT_TRUE(IsPlacingButton());
    CancelPlacedButton(card_);
    EXPECT_FALSE(IsPlacingButton());
    EXPECT_FALSE(IsButtonEditPending());
    EXPECT_EQ(ButtonRecords(kFirstNewId + 1), 0);
}

TEST_F(NewButtonsTest, ANewButtonKeepsTheActionsItsDialogGaveItAfterSaving) {
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        ClickShape(box, 2);
        box.SetText(IDC_BUTTON_NAME, "Onward");
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return DoMenuCommand(page.embed, 306, 0, nullptr); });
    const RECT placed = PlacedButtonRect();
    // A click outside places it; its actions: the next card, its transition taken as offered.
    DialogDriver actions;
    actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_NEXT_CARD); });
    actions.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_ACT_NEXT_CARD));
        box.Press(IDOK);
    });
    actions.Run([&] {
        SendMouse(card_, WM_LBUTTONDOWN, 20, 20);
        SendMouse(card_, WM_LBUTTONUP, 20, 20);
        return 0;
    });
    ASSERT_FALSE(IsPlacingButton());

    // Saved, read back and reopened: the button's own record holds the move, and a click on
    // it moves on.
    std::string report;
    const Shot shown = SaveAndClick({(placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2}, &report);
    EXPECT_NE(report.find("{\"card\":1,\"button\":40,\"destination\":-1,\"transition\":3,"), std::string::npos) << report;
    EXPECT_TRUE(NearRgb(shown.At(200, 150), 0, 0, 255, 8)) << "the next card: " << Hex(shown.At(200, 150));
}

TEST_F(NewButtonsTest, AShapePickedFromTheCardTakesItsOwnBoundsAndTheOtherButtonsStillAnswer) {
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        ClickShape(box, 6);
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(2263), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Expect(DialogMatch::Alert(2204), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return DoMenuCommand(page.embed, 306, 0, nullptr); });
    ASSERT_TRUE(IsPlacingButton());
    // Drawn around the oval with the picking cursor, let go on the card's white ground: that
    // is no graphic of the card, Try Again.
    DialogDriver ground;
    ground.Expect(DialogMatch::Alert(kShapeTooSmallAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    ground.Run([&] {
        DragThrough(card_, {{kOval.right + 10, kOval.top}, {kOval.left - 10, kOval.top - 10},
                            {kOval.left - 10, kOval.bottom - 5}, {kOval.right + 10, kOval.bottom - 5}});
        return 0;
    });
    ASSERT_TRUE(IsPlacingButton());
    EXPECT_FALSE(FindLayer(kObjectButton, kFirstNewId));
    // A click inside the oval picks it; OK, then Done with no actions.
    const int x = (kOval.left + kOval.right) / 2, y = (kOval.top + kOval.bottom) / 2;
    DialogDriver picked;
    picked.Expect(DialogMatch::Alert(2250), [](DialogView& box) { box.Press(kAlertButton1); });
    picked.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    picked.Run([&] {
        SendMouse(card_, WM_LBUTTONDOWN, x, y);
        SendMouse(card_, WM_LBUTTONUP, x, y);
        return 0;
    });
    ASSERT_FALSE(IsPlacingButton());

    LayerHandle layer = FindLayer(kObjectButton, kFirstNewId);
    ASSERT_TRUE(layer);
    const RECT bounds = LayerLock<ButtonLayer>(layer)->common.bounds;
    EXPECT_NEAR(bounds.left, kOval.left, 1);
    EXPECT_NEAR(bounds.top, kOval.top, 1);
    EXPECT_NEAR(bounds.right, kOval.right, 1);
    EXPECT_NEAR(bounds.bottom, kOval.bottom, 1);
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kFirstNewId);
    ASSERT_GT(record.size(), kButtonHeaderBytes);
    EXPECT_EQ(GetU16(record, kButtonShape), 6);
    EXPECT_EQ(static_cast<int16_t>(GetU16(record, kObjectRect)), bounds.left);
    EXPECT_EQ(static_cast<int16_t>(GetU16(record, kObjectRect + 2)), bounds.top);
    EXPECT_EQ(static_cast<int16_t>(GetU16(record, kObjectRect + 4)), bounds.right);
    EXPECT_EQ(static_cast<int16_t>(GetU16(record, kObjectRect + 6)), bounds.bottom);

    // Reopened, the card's other button still takes its click.
    std::string report;
    const Shot shown = SaveAndClick({340, 25}, &report);
    EXPECT_TRUE(NearRgb(shown.At(200, 150), 0, 0, 255, 8)) << "the old button's next card: " << Hex(shown.At(200, 150));
}

}  // namespace


// The object's own Features... and Icons...: a button's context menu reaches the features
// dialog (an icon left chosen is no cursor) and the icon chooser; the text appearance dialog's
// Features... reaches the features dialog and OK keeps what it set.
TEST_F(NewButtonsTest, FeaturesAndIconsFromTheMenusReachTheirOwnDialogs) {
    LayerHandle old = FindLayer(kObjectButton, kOldButton);
    ASSERT_TRUE(old);
    constexpr uint16_t kCursor = kFirstBuiltInIcon + 32;
    LayerLock<ButtonLayer>(old)->cursorId = kCursor;
    SelectToolNumber(kButtonTool);
    SelectObjectLayer(old);
    // An icon chosen earlier and still pending.
    ClearIconSelection();
    *GetIconSelection() = {.mode = 1, .fromStack = 0, .id = 1234, .data = NewHandleFromBytes(sb::IconFile(16, {255, 0, 0}))};
    DialogDriver features;
    features.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IFE_CURSOR));
        CheckDlgButton(box.Window(), IFE_LOCKED, BST_CHECKED);
        box.Press(IDOK);
    });
    EXPECT_TRUE(features.Run([&] { return DoMenuCommand(card_, kCommandFeatures); }));
    std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kOldButton);
    ASSERT_GE(record.size(), kButtonHeaderBytes);
    EXPECT_TRUE(GetU16(record, kObjectFlags) & kObjectLocked);
    EXPECT_EQ(GetU16(record, kButtonCursorId), kCursor) << "the icon's id is no cursor";
    EXPECT_FALSE(GetIconSelection()->data);

    DialogDriver icons;
    icons.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Icons");
        box.Press(IDCANCEL);
    });
    EXPECT_TRUE(icons.Run([&] { return DoMenuCommand(card_, kCommandIcons); }));
    EXPECT_EQ(icons.DialogsSeen(), 1) << "the chooser alone, not the button's appearance";

    SetAdvancedUser(true);
    DialogDriver text;
    text.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(61); });
    text.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        CheckDlgButton(box.Window(), IFE_LOCKED, BST_CHECKED);
        box.Press(IDOK);
    });
    text.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(IDOK); });
    text.Run([&] { return EditTextObjectAppearance(card_, FindLayer(kObjectText, kField)); });
    record = OpenStackObject(1, kObjectText, kField);
    ASSERT_GE(record.size(), kObjectFlags + 2);
    EXPECT_TRUE(GetU16(record, kObjectFlags) & kObjectLocked);
}

namespace {

// The old button's timer as its record holds it: mode and value.
std::pair<uint16_t, uint16_t> RecordedTimer() {
    Handle card = 0;
    uint32_t at = 0;
    ActionBlock block{};
    if (!FindObject(kObjectButton, kOldButton, &card, &at) || !LoadActionBlock(card, at, &block))
        return {};
    DisposeActionBlockData(&block);
    return {block.timerMode, block.timerValue};
}

}  // namespace

// Each editor works on the actions it read when it opened: the appearance edited and kept, a
// timer then chosen from the button's menu, then Icons... from the same menu: the record has
// the timer and the icon. A button edit ended without being written (its placing cancelled)
// takes the cursor chosen for it along: nothing is left for the next object.
TEST_F(NewButtonsTest, IconsFromTheMenuKeepAMenuTimerAndAnEndedEditLeavesNoCursorBehind) {
    SelectToolNumber(kButtonTool);
    DialogDriver look;
    look.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDOK); });
    look.Expect(DialogMatch::Template("NOVICE1"), [](DialogView& box) { box.Press(IDC_NOVICE_BROWSE); });
    look.Run([&] { return EditButtonAppearance(card_, FindLayer(kObjectButton, kOldButton), false); });
    ASSERT_EQ(RecordedTimer().first, 0);

    SelectObjectLayer(FindLayer(kObjectButton, kOldButton));
    DialogDriver timer;
    timer.Expect(DialogMatch::Template("MAGICBUTTONS"), [](DialogView& box) {
        box.SetChecked(IDC_TIMER_AFTER, true);
        box.SetText(IDC_TIMER_DELAY, "4");
        box.Press(IDOK);
    });
    EXPECT_EQ(timer.Run([&] { return DoActionChoice(card_, kChoiceTimer); }), 1);
    const std::pair<uint16_t, uint16_t> chosen = RecordedTimer();
    ASSERT_NE(chosen.first, 0) << "the menu's timer is in the record";

    SelectObjectLayer(FindLayer(kObjectButton, kOldButton));
    DialogDriver icons;
    icons.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        SendMessageA(GetDlgItem(box.Window(), ICN_GRID), WM_KEYDOWN, VK_HOME, 0);
        box.Press(IDOK);
    });
    EXPECT_EQ(icons.Run([&] { return DoActionChoice(card_, kChoiceIcons); }), 1);
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kOldButton);
    ASSERT_GE(record.size(), kButtonHeaderBytes);
    EXPECT_NE(GetU16(record, kButtonIconId), 0);
    EXPECT_EQ(GetU16(record, kButtonOptions) & kButtonShowIcon, kButtonShowIcon);
    EXPECT_EQ(RecordedTimer(), chosen) << "the icon's rewrite keeps the timer chosen from the menu";
    EXPECT_EQ(ButtonRecords(kOldButton), 1);

    // A new button with a cursor of a disk folder chosen for it, whose placing is given up.
    ClearIconSelection();
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) {
        *GetIconSelection() = {.mode = 0, .fromStack = 0, .id = 0, .data = NewHandleFromBytes(sb::IconFile(16, {0, 0, 255}))};
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return StartNewButton(card_, true); });
    ASSERT_TRUE(IsPlacingButton());
    CancelPlacedButton(card_);
    EXPECT_FALSE(GetIconSelection()->data) << "the given-up button's cursor is not left for the next object";
    EXPECT_EQ(MapButtonIconId(0, 0), 0);
}

// The floating colours under the button's appearance dialog: a colour clicked there picks
// nothing, for the button selected under the dialog or for the tool; the dialog cancelled, the
// button is as it was. Once the dialog has ended the same click colours the button's name.
TEST_F(NewButtonsTest, TheFloatingColoursPickNothingUnderTheAppearanceDialog) {
    SelectToolNumber(kButtonTool);
    ASSERT_TRUE(CreateFcolorsWindow(card_, nullptr));
    const HWND colors = GetFcolorsWindow();
    ASSERT_TRUE(colors);
    const LayerHandle old = FindLayer(kObjectButton, kOldButton);
    ASSERT_TRUE(old);
    SelectObjectLayer(old);
    const auto nameColour = [] {
        const std::vector<uint8_t> record = OpenStackObject(1, kObjectButton, kOldButton);
        return record.size() >= kButtonHeaderBytes ? GetU16(record, kButtonNameColor) : uint16_t{0xFFFF};
    };
    const uint16_t before = nameColour();
    const int16_t fill = GetToolColor('f');
    // A cell of the grid's third row, below the caption.
    const LPARAM cell = MAKELPARAM(45, PaletteCaptionHeight() + 25);
    const auto click = [colors, cell] {
        SendMessageA(colors, WM_LBUTTONDOWN, MK_LBUTTON, cell);
        SendMessageA(colors, WM_LBUTTONUP, 0, cell);
        SendMessageA(colors, WM_LBUTTONDBLCLK, MK_LBUTTON, cell);
    };
    DialogDriver look;
    look.Expect(DialogMatch::Template("BUTTONDLG"), [&](DialogView& box) {
        click();
        box.Press(IDCANCEL);
    });
    look.Run([&] { return DoMenuCommand(card_, 300); });
    EXPECT_EQ(look.DialogsSeen(), 1) << "no chooser opened from the colours";
    EXPECT_EQ(nameColour(), before);
    EXPECT_EQ(GetToolColor('f'), fill);
    EXPECT_FALSE(IsCardChanged());

    SelectObjectLayer(old);
    SendMessageA(colors, WM_LBUTTONDOWN, MK_LBUTTON, cell);
    SendMessageA(colors, WM_LBUTTONUP, 0, cell);
    EXPECT_NE(nameColour(), before) << "the colour reaches the button once no editor runs";
    EXPECT_NE(GetToolColor('f'), fill);
    SendMessageA(colors, WM_CLOSE, 0, 0);
}

namespace {

// A white card in the stack's default colours (those a new stack gets), at 8 bits.
sb::Stack DefaultColoursCard() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.depth = 8;
    sb::Picture white = sb::SolidPicture(kWidth, kHeight, 8, 0);
    white.palette.resize(256);
    for (size_t i = 0; i < kDefaultPaletteColors.size(); ++i) {
        const uint32_t c = kDefaultPaletteColors[i];
        white.palette[i] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
    }
    white.palette[255] = {0, 0, 0};
    stack.cards = {sb::PictureCard(1, white)};
    stack.nextObjectId = kFirstNewId;
    return stack;
}

// A click on a cell (row by row from 0) of a dialog's 8 x 8 colour grid.
void ClickGridCell(DialogView& box, int itemId, int cell) {
    HWND item = GetDlgItem(box.Window(), itemId);
    RECT r{};
    GetClientRect(item, &r);
    POINT p = {r.right * (2 * (cell % 8) + 1) / 16, r.bottom * (2 * (cell / 8) + 1) / 16};
    MapWindowPoints(item, box.Window(), &p, 1);
    SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(box.Window(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// The colour the screen shows at the centre of a grid cell.
COLORREF GridCellPixel(DialogView& box, int itemId, int cell) {
    HWND item = GetDlgItem(box.Window(), itemId);
    UpdateWindow(box.Window());
    RECT r{};
    GetClientRect(item, &r);
    HDC dc = GetDC(item);
    const COLORREF c = GetPixel(dc, r.right * (2 * (cell % 8) + 1) / 16, r.bottom * (2 * (cell / 8) + 1) / 16);
    ReleaseDC(item, dc);
    return c & 0xFFFFFF;
}

class AuthorColoursTest : public LinkedPluginTest {
protected:
    void SetUp() override {
        advanced_ = IsAdvancedUser();
        ASSERT_TRUE(Open(DefaultColoursCard()));
        SetAdvancedUser(false);
        card_ = GetCardWindow();
        ASSERT_TRUE(card_);
    }
    void TearDown() override {
        LinkedPluginTest::TearDown();
        SetAdvancedUser(advanced_);
    }
    // A new text object dragged out to the point, its Text Appearance answered.
    void NewTextObject(POINT corner, const DialogDriver::Answer& appearance) {
        DialogDriver where;
        where.Expect(DialogMatch::Alert(kTextWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
        where.Run([&] { return DoMenuCommand(page.embed, 308, 0, nullptr); });
        const RECT field = PlacedTextFieldRect();
        DragThrough(card_, {{field.left, field.top}, corner, corner});
        DialogDriver info;
        info.Expect(DialogMatch::Template("TEXTINFO"), appearance);
        SendMouse(card_, WM_LBUTTONDOWN, 5, kHeight - 5);
        info.Run([&] { SendMouse(card_, WM_LBUTTONUP, 5, kHeight - 5); return 0; });
    }
    HWND card_ = nullptr;
    bool advanced_ = false;
};

// The grids show the stack's colours at every depth (white first, black last, greys down the
// first column), the defaults of a new text object are white with black text, and what is
// picked in each grid is the palette index the file keeps: the same at a palette display as on
// true colour.
TEST_F(AuthorColoursTest, GridsDefaultsAndPickedColoursAreTheStacksAtEveryDepth) {
    // Cells and the default palette's indexes the grid's order gives them.
    struct Pick {
        int cell;
        uint16_t index;
    };
    const Pick textPick{19, 4}, backPick{16, 88}, namePick{34, 50}, fillPick{40, 92};
    const COLORREF textRgb = RGB(0xFF, 0x68, 0x73);  // entry 4
    // A palette display shows white, black and the grey of the first column (entry 88, CCCCCC)
    // as they are or as the nearest of its static colours; 16 bits round the grey's channels
    // apart by a step.
    NewTextObject({20, 20}, [](DialogView& box) {
        EXPECT_EQ(GridCellPixel(box, kTextInfoTextGrid, 0), 0xFFFFFFu);
        EXPECT_EQ(GridCellPixel(box, kTextInfoTextGrid, 63), 0x000000u);
        EXPECT_EQ(GridCellPixel(box, kTextInfoBackGrid, 0), 0xFFFFFFu);
        EXPECT_EQ(GridCellPixel(box, kTextInfoBackGrid, 63), 0x000000u);
        const COLORREF grey = GridCellPixel(box, kTextInfoBackGrid, 16);
        EXPECT_TRUE(std::abs(GetRValue(grey) - GetGValue(grey)) <= 8 && std::abs(GetGValue(grey) - GetBValue(grey)) <= 8 &&
                    GetRValue(grey) > 0x80)
            << std::hex << grey;
        box.Press(IDOK);
    });
    NewTextObject({200, 150}, [&](DialogView& box) {
        ClickGridCell(box, kTextInfoTextGrid, textPick.cell);
        ClickGridCell(box, kTextInfoBackGrid, backPick.cell);
        box.Press(IDOK);
    });
    DialogDriver make;
    make.Expect(DialogMatch::Template("BUTTONDLG"), [&](DialogView& box) {
        EXPECT_EQ(GridCellPixel(box, IDC_BUTTON_FILL_COLORS, 0), 0xFFFFFFu);
        EXPECT_EQ(GridCellPixel(box, IDC_BUTTON_NAME_COLORS, 63), 0x000000u);
        ClickGridCell(box, IDC_BUTTON_NAME_COLORS, namePick.cell);
        ClickGridCell(box, IDC_BUTTON_FILL_COLORS, fillPick.cell);
        box.SetText(IDC_BUTTON_NAME, "Tinted");
        box.Press(IDOK);
    });
    make.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    make.Run([&] { return DoMenuCommand(page.embed, 306, 0, nullptr); });
    ASSERT_TRUE(IsPlacingButton());
    {
        DialogDriver actions;
        actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
        actions.Run([&] {
            SendMouse(card_, WM_LBUTTONDOWN, 5, 5);
            SendMouse(card_, WM_LBUTTONUP, 5, 5);
            return 0;
        });
    }
    ASSERT_FALSE(IsPlacingButton());

    // In the object tool the text objects are drawn on the card, each with its frame: a dark
    // line on every edge, not the white inside.
    SelectTool(kArrowTool);
    RedrawWindow(card_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (const uint16_t id : {kFirstNewId, uint16_t(kFirstNewId + 1)}) {
        const RECT r = LayerLock<FieldLayer>(FindLayer(kObjectText, id))->common.bounds;
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        for (const POINT p : {POINT{r.left, midY}, POINT{r.right - 1, midY}, POINT{midX, r.top}, POINT{midX, r.bottom - 1}}) {
            const COLORREF c = WindowPixel(card_, p.x, p.y);
            EXPECT_TRUE(GetRValue(c) < 0xC0 && GetGValue(c) < 0xC0 && GetBValue(c) < 0xC0)
                << "frame of " << id << " at " << p.x << "," << p.y << ": " << std::hex << c;
        }
    }
    SelectTool(kBrowseTool);

    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), 0);
    char file[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof file, file);
    ServerFolder server;
    const std::string path = server.Put("colours-" + std::to_string(GetCurrentProcessId()) + ".stk", ReadFile(file));
    const BrowserRun report = RunProgram(StackReporterPath(), server, {path});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const ReportJson json = ParseReport(Joined(report.log));
    std::vector<const ReportJson*> texts, buttons;
    for (const ReportJson& card : ItemsOf(json, "cards"))
        for (const ReportJson& o : ItemsOf(card, "objects"))
            (o["kind"] == kObjectText ? texts : buttons).push_back(&o);
    ASSERT_EQ(texts.size(), 2u) << JsonText(json);
    ASSERT_EQ(buttons.size(), 1u) << JsonText(json);
    // Each text's background as its index + 1, its text colour in its runs.
    auto runColour = [](const ReportJson& text) {
        const ReportJson& runs = ItemsOf(ItemsOf(text, "entries").at(0), "runs");
        return runs.empty() ? COLORREF(-1) : RGB(int(runs[0][4]), int(runs[0][5]), int(runs[0][6]));
    };
    for (const ReportJson* text : texts)
        EXPECT_EQ((*text)["options"], kTextFrame | kTextScrollBar) << "framed, with a scroll bar: " << JsonText(*text);
    EXPECT_EQ((*texts[0])["backColor"], 1) << "white: " << JsonText(*texts[0]);
    EXPECT_EQ(runColour(*texts[0]), RGB(0, 0, 0)) << JsonText(*texts[0]);
    EXPECT_EQ((*texts[1])["backColor"], backPick.index + 1) << JsonText(*texts[1]);
    EXPECT_EQ(runColour(*texts[1]), textRgb) << JsonText(*texts[1]);
    EXPECT_EQ((*buttons[0])["look"]["nameColor"], namePick.index + 1) << JsonText(*buttons[0]);
    EXPECT_EQ((*buttons[0])["look"]["fillColor"], fillPick.index + 1) << JsonText(*buttons[0]);
}

}  // namespace
