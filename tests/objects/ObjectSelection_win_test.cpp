// The object tools in the plug-in: which object a click takes, moving and resizing it with the
// mouse (refused under 8 pixels, masked graphics only move, the grid, Shift), the locked-object
// question, pasting off the card, cut with undo and save keeping the actions, undo of a move,
// the clipboard's marks on close, and a draggable graphic dropped on a drop-off-only button.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionsDialog.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry.h"
#include "objects/ObjectServices.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "authoring/graphics/GraphicCommands.h"
#include "stack/clipboard/Clipboard.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"
#include "stack/undo/Undo.h"
#include "resources/actions_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
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

constexpr uint16_t kGoToAction = 300, kSoundAction = 301, kSound = 400;

// A graphic keeping a white picture, without a mask.
sb::Object PlainGraphic(uint16_t id, sb::Rect rect, const char* name = "Pic") {
    sb::Object g = sb::Graphic(id, rect, name);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    g.mask.clear();
    g.trailer = false;
    g.words = {{16, 0}, {24, 0}, {30, 0}, {32, 0}, {34, static_cast<uint16_t>(height)},
               {36, static_cast<uint16_t>(width)}, {54, 8}, {58, 28016}};
    g.data.assign(sb::MacRowBytes(width, 8) * height, 0);
    return g;
}

// Actions going to card 2; with a sound, the stored sound played first.
std::vector<uint8_t> GoToCardTwo(bool sound) {
    sb::Object b = sb::Button(0, {}, "");
    b.words = {{16, 2}, {20, static_cast<uint16_t>(kActGoTo | (sound ? kActSoundResource : 0))}};
    if (sound)
        b.chunks.push_back(sb::Chunk{83, 0, {0, 127, 0, 0}, 0, {{16, kSound}}, {}, {}});
    return sb::ActionRecord(b);
}

sb::Stack ThreeCards(std::vector<sb::Object> objects) {
    sb::Stack stack = WhiteCards(3, 512, 384, std::move(objects));
    stack.resources.push_back({"Actn", kGoToAction, "", 0, 0, GoToCardTwo(false)});
    stack.resources.push_back({"Actn", kSoundAction, "", 0, 0, GoToCardTwo(true)});
    stack.resources.push_back({"Snd ", kSound, "chime", 0, 0, std::vector<uint8_t>(64, 0x80)});
    return stack;
}


RECT Bounds(LayerHandle layer) {
    LayerLock<> lock(layer);
    return lock ? lock->bounds : RECT{-1, -1, -1, -1};
}

std::vector<int> StoredRect(uint16_t kind, uint16_t id) {
    const uint8_t* record = GetObjectPtr(kind, id);
    if (!record)
        return {};
    const std::span<const uint8_t> r(record, kObjectCommonBytes);
    return {static_cast<int16_t>(GetU16(r, 4)), static_cast<int16_t>(GetU16(r, 6)), static_cast<int16_t>(GetU16(r, 8)),
            static_cast<int16_t>(GetU16(r, 10))};
}

std::vector<int> AsVector(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool HasResource(uint32_t type, uint16_t id) {
    const StackResFileCurrent current;
    return GetResource(type, id) != 0;
}

void Drag(HWND window, POINT from, POINT to, WPARAM keys = MK_LBUTTON) {
    SendMessageA(window, WM_LBUTTONDOWN, keys, MAKELPARAM(from.x, from.y));
    PumpPageMessages();
    SendMessageA(window, WM_MOUSEMOVE, keys, MAKELPARAM(to.x, to.y));
    PumpPageMessages();
    SendMouse(window, WM_LBUTTONUP, to.x, to.y);
}

void Command(HWND window, int command) {
    SendMessageA(window, WM_COMMAND, command, 0);
    PumpPageMessages();
}

// The page closed after each test, and the tool and the grid as a new page finds them.
class ObjectSelection : public LinkedPluginTest {
protected:
    void TearDown() override {
        if (!page.file.empty())
            ClosePage();
    }
    void ClosePage() {
        CloseLinkedPlugin(&page);
        SelectToolNumber(kBrowseTool);
        Grid() = GridSettings{};
    }
};

TEST_F(ObjectSelection, TheToolDecidesWhichObjectIsHit) {
    sb::Object sounding = sb::Button(7, {200, 20, 260, 50}, "Snd");
    sounding.words.push_back({20, kActSoundResource});
    sb::Object silent = sb::Button(8, {200, 100, 260, 130}, "Mute");
    ASSERT_TRUE(Open(ThreeCards({PlainGraphic(5, {20, 20, 60, 60}), sb::Graphic(6, {40, 40, 80, 80}, "Top"),
                                 sounding, silent, sb::TextField(9, {300, 20, 400, 60}, "T", "x")})));
    const HWND w = page.embed;
    SelectToolNumber(kArrowTool);
    bool onMask = false;
    RECT rect{};
    EXPECT_EQ(HitTestObjectAtPoint(w, 50, 50, &onMask, &rect), FindLayer(kObjectGraphic, 6)) << "the later one";
    EXPECT_TRUE(onMask);
    EXPECT_EQ(AsVector(rect), (std::vector<int>{40, 40, 80, 80}));
    EXPECT_EQ(HitTestObjectAtPoint(w, 30, 30, &onMask, nullptr), FindLayer(kObjectGraphic, 5));
    EXPECT_FALSE(onMask);
    EXPECT_EQ(HitTestObjectAtPoint(w, 350, 40, nullptr, nullptr), FindLayer(kObjectText, 9));

    // Send Farther puts graphic 6 behind 5, Bring Closer in front again, in the records too.
    SelectObjectLayer(FindLayer(kObjectGraphic, 6));
    Command(w, 305);
    EXPECT_EQ(HitTestObjectAtPoint(w, 50, 50, nullptr, nullptr), FindLayer(kObjectGraphic, 5));
    EXPECT_LT(GetObjectIndex(GetCurrentCardRecord(), kObjectGraphic, 6), GetObjectIndex(GetCurrentCardRecord(), kObjectGraphic, 5));
    Command(w, 304);
    EXPECT_EQ(HitTestObjectAtPoint(w, 50, 50, nullptr, nullptr), FindLayer(kObjectGraphic, 6));
    EXPECT_GT(GetObjectIndex(GetCurrentCardRecord(), kObjectGraphic, 6), GetObjectIndex(GetCurrentCardRecord(), kObjectGraphic, 5));

    // Graphic 6 keeps only its first ten columns: off them graphic 5 below is hit.
    HDC dc = GetDC(w);
    HBITMAP picture = CreateCompatibleBitmap(dc, 40, 40);
    ReleaseDC(w, dc);
    HBITMAP mask = CreateBitmap(40, 40, 1, 1, nullptr);
    {
        HDC m = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(m, mask);
        PatBlt(m, 0, 0, 40, 40, BLACKNESS);
        PatBlt(m, 0, 0, 10, 40, WHITENESS);
        SelectObject(m, old);
        DeleteDC(m);
    }
    SelectObjectLayer(FindLayer(kObjectGraphic, 6));
    ASSERT_TRUE(SetGraphicObjectPicture(picture, mask));
    EXPECT_EQ(HitTestObjectAtPoint(w, 45, 50, nullptr, nullptr), FindLayer(kObjectGraphic, 6));
    EXPECT_EQ(HitTestObjectAtPoint(w, 55, 50, nullptr, nullptr), FindLayer(kObjectGraphic, 5)) << "off the mask";
    EXPECT_EQ(HitTestObjectAtPoint(w, 70, 70, nullptr, nullptr), nullptr);

    SelectToolNumber(kGraphicTool);
    EXPECT_EQ(HitTestObjectAtPoint(w, 230, 35, nullptr, nullptr), nullptr) << "no buttons for the graphic tool";
    EXPECT_EQ(HitTestObjectAtPoint(w, 350, 40, nullptr, nullptr), nullptr);
    SelectToolNumber(kSoundButtonTool);
    EXPECT_EQ(HitTestObjectAtPoint(w, 230, 35, nullptr, nullptr), FindLayer(kObjectButton, 7));
    EXPECT_EQ(HitTestObjectAtPoint(w, 230, 115, nullptr, nullptr), nullptr) << "a button playing no sound";
    EXPECT_EQ(HitTestObjectAtPoint(w, 30, 30, nullptr, nullptr), nullptr);
    SelectToolNumber(kTextFieldTool);
    EXPECT_EQ(HitTestObjectAtPoint(w, 350, 40, nullptr, nullptr), FindLayer(kObjectText, 9));
    EXPECT_EQ(HitTestObjectAtPoint(w, 230, 35, nullptr, nullptr), nullptr);
}

TEST_F(ObjectSelection, MouseMovesAndResizesWithinTheRules) {
    ASSERT_TRUE(Open(ThreeCards({PlainGraphic(5, {20, 20, 60, 60}), sb::Graphic(6, {100, 100, 140, 140}, "M")})));
    const HWND w = page.embed;
    SelectToolNumber(kGraphicTool);
    const LayerHandle plain = FindLayer(kObjectGraphic, 5);

    // The bottom-right corner dragged to 7 pixels wide: refused; the drag goes on from there.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
    PumpPageMessages();
    EXPECT_EQ(GetSelectedObject(), plain);
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(27, 60));
    EXPECT_EQ(AsVector(Bounds(plain)), (std::vector<int>{20, 20, 60, 60})) << "7 pixels wide is refused";
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(52, 66));
    SendMouse(w, WM_LBUTTONUP, 52, 66);
    EXPECT_EQ(AsVector(Bounds(plain)), (std::vector<int>{20, 20, 52, 66}));
    EXPECT_EQ(StoredRect(kObjectGraphic, 5), (std::vector<int>{20, 20, 52, 66}));
    EXPECT_EQ(GetSelectedObject(), plain) << "still selected";

    // With the grid on the moved corner snaps to it.
    Grid().snap = true;
    Drag(w, {52, 66}, {45, 61});
    EXPECT_EQ(AsVector(Bounds(plain)), (std::vector<int>{20, 20, 48, 64}));
    Grid().snap = false;

    // Shift on a corner: equal steps on the axis the first move chose.
    Drag(w, {48, 64}, {58, 68}, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(AsVector(Bounds(plain)), (std::vector<int>{20, 20, 58, 74}));

    // A masked graphic only moves, even from its corner, and does not snap.
    Grid().snap = true;
    const LayerHandle masked = FindLayer(kObjectGraphic, 6);
    Drag(w, {139, 139}, {152, 144});
    EXPECT_EQ(AsVector(Bounds(masked)), (std::vector<int>{113, 105, 153, 145}));
    EXPECT_EQ(StoredRect(kObjectGraphic, 6), (std::vector<int>{113, 105, 153, 145}));
    Grid().snap = false;

    // Undo of the move puts it back and selects it again.
    DeselectObject(w);
    Command(w, 150);
    EXPECT_EQ(AsVector(Bounds(masked)), (std::vector<int>{100, 100, 140, 140}));
    EXPECT_EQ(GetSelectedObject(), masked);

    // Arrow keys move the selection a pixel a key, as one undo step.
    SendMessageA(w, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(w, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(w, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(w, WM_KEYUP, VK_DOWN, 0);
    PumpPageMessages();
    EXPECT_EQ(StoredRect(kObjectGraphic, 6), (std::vector<int>{102, 101, 142, 141}));
    Command(w, 150);
    EXPECT_EQ(StoredRect(kObjectGraphic, 6), (std::vector<int>{100, 100, 140, 140}));

    // Hovering with the tool shows the handle under the mouse.
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(58, 74));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_SIZENWSE));
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));

    // An advanced user dragging it off the card: it stays where it was, with no step to undo.
    SetAdvancedUser(true);
    Drag(w, {30, 30}, {-400, -300});
    SetAdvancedUser(false);
    EXPECT_EQ(AsVector(Bounds(plain)), (std::vector<int>{20, 20, 58, 74}));
    EXPECT_EQ(StoredRect(kObjectGraphic, 5), (std::vector<int>{20, 20, 58, 74}));
    EXPECT_EQ(GetUndoKind(), -1);
}

TEST_F(ObjectSelection, ALockedObjectAsksAndNoKeepsItLocked) {
    sb::Object locked = PlainGraphic(5, {20, 20, 60, 60});
    locked.flags = kObjectLocked;
    ASSERT_TRUE(Open(ThreeCards({locked})));
    SelectToolNumber(kGraphicTool);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("DOGIEHELP"), [](DialogView& box) {
        EXPECT_EQ(box.Text(51), "Cannot edit a locked item,do you wish to unlock it?");
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Yes", "No"}));
        box.Press(53);
    });
    driver.Run([&] { Drag(page.embed, {40, 40}, {50, 50}); });
    const uint8_t* record = GetObjectPtr(kObjectGraphic, 5);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(GetU16({record, kObjectCommonBytes}, kObjectFlags) & kObjectLocked, kObjectLocked);
    EXPECT_EQ(StoredRect(kObjectGraphic, 5), (std::vector<int>{20, 20, 60, 60})) << "not moved";
    EXPECT_EQ(GetSelectedObject(), FindLayer(kObjectGraphic, 5));
}

TEST_F(ObjectSelection, PastedOffTheCardLandsCentred) {
    ASSERT_TRUE(Open(ThreeCards({PlainGraphic(5, {600, 500, 700, 550})})));
    SelectObjectLayer(FindLayer(kObjectGraphic, 5));
    Command(page.embed, 152);
    Command(page.embed, 153);
    const LayerHandle pasted = GetSelectedObject();
    ASSERT_NE(pasted, nullptr);
    ASSERT_NE(pasted, FindLayer(kObjectGraphic, 5));
    EXPECT_EQ(AsVector(Bounds(pasted)), (std::vector<int>{206, 167, 306, 217}));
    const uint16_t id = LayerLock<>(pasted)->id;
    EXPECT_EQ(StoredRect(kObjectGraphic, id), (std::vector<int>{206, 167, 306, 217}));
    char text[64] = {};
    EXPECT_FALSE(GetObjectMenuItemText(text, sizeof text));
    EXPECT_STREQ(text, "Edit This Graphic");
    GetSelectedObjectNoun(text, sizeof text);
    EXPECT_STREQ(text, "graphic");
}

TEST_F(ObjectSelection, CutKeepsTheActionsForUndoAndSaveThenPasteBringsThemBack) {
    sb::Object go = PlainGraphic(5, {20, 20, 60, 60});
    go.words.push_back({56, kGoToAction});
    sb::Object sounding = PlainGraphic(6, {100, 20, 140, 60});
    sounding.words.push_back({56, kSoundAction});
    ASSERT_TRUE(Open(ThreeCards({go, sounding})));
    const HWND w = page.embed;

    // Cut, Undo: the graphic comes back with actions that still run.
    SelectObjectLayer(FindLayer(kObjectGraphic, 5));
    Command(w, 151);
    EXPECT_EQ(FindLayer(kObjectGraphic, 5), nullptr);
    EXPECT_EQ(GetSelectedObject(), nullptr);
    Command(w, 150);
    const LayerHandle back = FindLayer(kObjectGraphic, 5);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(LayerLock<GraphicLayer>(back)->objectWord, kGoToAction);
    SelectToolNumber(kBrowseTool);
    SendMouse(w, WM_LBUTTONDOWN, 40, 40);
    SendMouse(w, WM_LBUTTONUP, 40, 40);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the restored graphic's actions ran";
    Command(w, 202);  // first card
    ASSERT_EQ(GetCurrentCardId(), 1);

    // Cut, Save: the cut graphic's actions and their sound leave the file; the clipboard's
    // copies are no longer this stack's, so Paste stores them again.
    SelectObjectLayer(FindLayer(kObjectGraphic, 6));
    Command(w, 151);
    EXPECT_TRUE(HeldResourcesFromThisStack());
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string saved = std::string(path) + ProcessUniqueName("cutsaved", "stk");
    ASSERT_EQ(SaveStackAsPath(saved.c_str()), 0);
    EXPECT_FALSE(HasResource(kActn, kSoundAction));
    EXPECT_FALSE(HasResource(kSnd, kSound));
    EXPECT_TRUE(HasResource(kActn, kGoToAction)) << "still named by graphic 5";
    EXPECT_FALSE(HeldResourcesFromThisStack());
    Command(w, 153);
    const LayerHandle pasted = GetSelectedObject();
    ASSERT_NE(pasted, nullptr);
    const uint16_t action = LayerLock<GraphicLayer>(pasted)->objectWord;
    EXPECT_NE(action, 0);
    EXPECT_TRUE(HasResource(kActn, action));
    EXPECT_TRUE(HasResource(kSnd, kSound)) << "the sound its actions play";

    // Copied here, the marks go when the stack closes.
    Command(w, 152);
    EXPECT_TRUE(HeldResourcesFromThisStack());
    ClosePage();
    EXPECT_FALSE(HeldResourcesFromThisStack());
    DeleteFileA(saved.c_str());
}

TEST_F(ObjectSelection, ADraggableGraphicDroppedOnADropOffButtonRunsOnlyTheButtons) {
    sb::Object drag = PlainGraphic(5, {20, 20, 60, 60}, "Sky");
    drag.flags = 0x80;  // draggable in browse mode
    drag.words.push_back({56, kGoToAction});
    sb::Object target = sb::Button(7, {200, 200, 280, 240}, "Bin");
    target.flags = kButtonDropOffOnly;
    target.words = {{16, 3}, {20, kActGoTo}};
    ASSERT_TRUE(Open(ThreeCards({drag, target})));
    SelectToolNumber(kBrowseTool);
    Drag(page.embed, {30, 30}, {220, 210});
    EXPECT_EQ(GetCurrentCardId(), 3) << "the button's destination, not the graphic's card 2";
    EXPECT_EQ(StoredRect(kObjectGraphic, 5), (std::vector<int>{210, 200, 250, 240}));
    const uint8_t* name = ClickedGraphicName();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "Sky");
}

// A graphic's actions edited from the object menu (Actions...): the dialog's changed block is
// stored and named by the record and the layer; an unchanged one stores nothing.
TEST_F(ObjectSelection, AGraphicsActionsEditedAreStoredAndNamed) {
    sb::Object go = PlainGraphic(5, {20, 20, 60, 60});
    go.words.push_back({56, kGoToAction});
    ASSERT_TRUE(Open(ThreeCards({go})));
    const LayerHandle layer = FindLayer(kObjectGraphic, 5);
    SelectObjectLayer(layer);
    {
        // The variant with a destination; OK with nothing changed stores nothing.
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
        EXPECT_FALSE(driver.Run([&] { return EditGraphicActions(layer) ? 1 : 0; }));
    }
    EXPECT_EQ(LayerLock<GraphicLayer>(layer)->objectWord, kGoToAction) << "nothing stored";
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_NEXT_CARD); });
        driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
        driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
        driver.Run([&] {
            Command(page.embed, 15870);  // Actions...
            return 0;
        });
    }
    const uint16_t action = LayerLock<GraphicLayer>(layer)->objectWord;
    const uint8_t* record = GetObjectPtr(kObjectGraphic, 5);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(GetU16({record, kGraphicHeaderBytes}, kGraphicAction), action);
    const Handle stored = LoadActionResource(action);
    EXPECT_EQ(static_cast<int16_t>(GetHandleWord(stored, kButtonDestination)), -1) << "the edited block was stored";
    DisposeHandle(stored);
}

// A red graphic moved with the graphic tool, then dragged in browse mode, saved: the report
// and the real plug-in in the test browser show it where it was dropped.
TEST_F(ObjectSelection, AGraphicMovedTwiceIsSavedWhereItWasDropped) {
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(160, 120, 8, 0));
    card.picture->palette = {{255, 255, 255}, {200, 40, 0}};
    sb::Object red = PlainGraphic(5, {10, 10, 40, 40}, "Sky");
    std::fill(red.data.begin(), red.data.end(), 1);
    red.flags = 0x80;  // draggable in browse mode
    card.objects.push_back(red);
    stack.cards.push_back(card);
    ASSERT_TRUE(Open(stack));
    SelectToolNumber(kGraphicTool);
    Drag(page.embed, {25, 25}, {45, 35});
    SelectToolNumber(kBrowseTool);
    Drag(page.embed, {45, 35}, {75, 55});
    EXPECT_EQ(StoredRect(kObjectGraphic, 5), (std::vector<int>{60, 40, 90, 70}));
    UpdateWindow(page.embed);
    // On a palette display the red goes through the system palette: there only the places count.
    const bool trueColour = !IndexedDisplay();
    const COLORREF shown = WindowPixel(page.embed, 75, 55);
    if (trueColour) {
        EXPECT_TRUE(browsertest::NearRgb((GetRValue(shown) << 16) | (GetGValue(shown) << 8) | GetBValue(shown), 200, 40, 0, 8))
            << std::hex << shown;
    }
    using namespace browsertest;
    ServerFolder server;
    const std::string saved = server.Name("moved.stk");
    ASSERT_EQ(SaveStackAsPath(saved.c_str()), 0);
    ClosePage();

    const BrowserRun report = RunProgram(StackReporterPath(), server, {saved});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const std::string json = Joined(report.log);
    const std::string moved = ReportedObjectWithId(json, 5);
    EXPECT_EQ(ReportedNumber(moved, "kind"), kObjectGraphic) << json;
    EXPECT_EQ(ReportedValue(moved, "rect"), "[60,40,90,70]") << json;
    EXPECT_NE(ReportedObject(json, "Sky"), "") << json;

    const std::string shot = server.Name("moved.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--answer-alerts", "--size",
                                               "160x120", "--screenshot", shot, "--screenshot-after", "1500",
                                               "--quit-after-last", "800", "http://localhost/moved.stk"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const Shot pixels(shot);
    if (trueColour) {
        EXPECT_TRUE(NearRgb(pixels.At(75, 55), 200, 40, 0, 8)) << Hex(pixels.At(75, 55));
    }
    EXPECT_TRUE(NearRgb(pixels.At(25, 25), 255, 255, 255, 8)) << Hex(pixels.At(25, 25)) << " where it started";
    EXPECT_TRUE(NearRgb(pixels.At(45, 35), 255, 255, 255, 8)) << Hex(pixels.At(45, 35)) << " where the tool left it";
}

}  // namespace
