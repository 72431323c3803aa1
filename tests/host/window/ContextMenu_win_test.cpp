// The card's context menu in the plug-in hosted by the test browser's code: what it offers for
// the card, a text selection and the object kinds; that browse mode and a user who is not
// advanced get none; and, with real input, that a right click with tool 20 opens it and the
// chosen item runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "layers/ObjectLayer.h"
#include "host/palettes/CurrentTool.h"
#include "host/window/ContextMenu.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 160, kCardH = 120;
constexpr uint16_t kMenuCardId = 7;

struct Item {
    UINT id = 0;
    std::string text;
    bool separator = false;
    bool grayed = false;
    HMENU sub = nullptr;
    std::vector<Item> subItems;
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[300] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({info.wID, text, (info.fType & MFT_SEPARATOR) != 0, (info.fState & MFS_GRAYED) != 0,
                         info.hSubMenu, info.hSubMenu ? Items(info.hSubMenu) : std::vector<Item>{}});
    }
    return items;
}

const Item* ById(const std::vector<Item>& items, UINT id) {
    for (const Item& item : items)
        if (!item.separator && !item.sub && item.id == id)
            return &item;
    return nullptr;
}

std::string TextOf(const std::vector<Item>& items, UINT id) {
    const Item* item = ById(items, id);
    return item ? item->text : "(missing)";
}

// A layer block of a kind, as the object code would make it.
template <class T>
LayerHandle MakeLayer(uint16_t kind, uint16_t id) {
    LayerHandle layer = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(T));
    LayerLock<T> lock(layer);
    lock->common.kind = kind;
    lock->common.id = id;
    return layer;
}

// The items of the menu built for the layer (0: the card); the layer is freed. Empty when no
// menu was built.
std::vector<Item> MenuFor(LayerHandle layer) {
    HMENU menu = BuildContextMenu(GetAppInstance(), layer);
    std::vector<Item> items = menu ? Items(menu) : std::vector<Item>{};
    if (menu)
        DestroyMenu(menu);
    if (layer)
        GlobalFree(layer);
    return items;
}

// The active field of the text-selection case.
LayerHandle g_activeField = nullptr;

// Watches for the context menu while it is tracked: records its items, then picks the item
// with the given id with real mouse input, or closes the menu.
struct MenuWatch {
    UINT choose = 0;
    bool seen = false;
    std::vector<Item> items;
    bool clicked = false;
};
MenuWatch* g_watch = nullptr;

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_watch || g_watch->clicked)
        return;
    HWND window = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&window));
    if (!window)
        return;
    constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenu, 0, 0));
    if (!menu)
        return;
    g_watch->seen = true;
    g_watch->items = Items(menu);
    g_watch->clicked = true;
    for (int i = 0; i < static_cast<int>(g_watch->items.size()); ++i) {
        if (g_watch->choose && g_watch->items[i].id == g_watch->choose && !g_watch->items[i].sub) {
            RECT rect = {};
            GetMenuItemRect(window, menu, static_cast<UINT>(i), &rect);
            ClickScreen({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, MOUSEEVENTF_LEFTDOWN,
                    MOUSEEVENTF_LEFTUP);
            return;
        }
    }
    EndMenu();
}

// A right click at the card point with real input; messages are pumped for a while so that the
// menu (if any) is tracked, watched and ended.
MenuWatch RightClick(HWND embed, POINT cardPoint, UINT choose) {
    MenuWatch watch;
    watch.choose = choose;
    g_watch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnWatchTimer);
    POINT screen = cardPoint;
    ClientToScreen(embed, &screen);
    ClickScreen(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 800) {
        PumpPageMessages();
        Sleep(10);
    }
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    return watch;
}

std::vector<unsigned> g_hookMessages;
int RecordingHook(unsigned message, HWND__*, int, int) {
    g_hookMessages.push_back(message);
    return 0;
}

class ContextMenuInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override {
        sb::Stack stack;
        stack.cardWidth = kCardW;
        stack.cardHeight = kCardH;
        sb::Card card = sb::PictureCard(kMenuCardId, sb::SolidPicture(kCardW, kCardH, 8, 0));
        card.picture->palette = {{255, 255, 255}};
        card.objects.push_back(sb::Graphic(21, {100, 10, 140, 40}, "Sun"));
        card.objects.push_back(sb::TextField(31, {100, 60, 150, 100}, "Notes", "hello"));
        stack.cards.push_back(card);
        ASSERT_TRUE(Open(stack));
        SetAdvancedUser(true);
        // The page's embed is a static control, which lets the mouse through unless it notifies;
        // a browser's embed window takes it.
        SetWindowLongPtrA(page.embed, GWL_STYLE, GetWindowLongPtrA(page.embed, GWL_STYLE) | SS_NOTIFY);
        SetForegroundWindow(page.page);
    }
    void TearDown() override {
        SetAdvancedUser(false);
        SelectToolNumber(kBrowseTool);
        LinkedPluginTest::TearDown();
    }
};

TEST_F(ContextMenuInPlugin, OffersTheCardTheSelectionAndEachObjectKind) {
    SelectToolNumber(20);
    // The card without a name shows its id; no selection: cut and copy the card.
    std::vector<Item> items = MenuFor(nullptr);
    ASSERT_GE(items.size(), 17u);
    EXPECT_EQ(items[0].text, "Card: " + std::to_string(kMenuCardId) + "...");
    EXPECT_EQ(items[0].id, 301u);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(TextOf(items, 4183), "Import Background...");
    EXPECT_EQ(TextOf(items, 106), "Add Clip Art...");
    EXPECT_EQ(TextOf(items, 303), "About This Stack...");
    EXPECT_TRUE(ById(items, 300)->grayed && ById(items, 15870)->grayed && ById(items, 15869)->grayed);
    EXPECT_EQ(TextOf(items, 158), "Cut ");
    EXPECT_EQ(TextOf(items, 159), "Copy ");
    EXPECT_EQ(TextOf(items, 154), "Clear ");
    EXPECT_FALSE(ById(items, 151) || ById(items, 152));
    EXPECT_EQ(TextOf(items, 153).rfind("Paste ", 0), 0u);

    // A text selection in the active field.
    HWND edit = CreateWindowA("EDIT", "hello world", WS_CHILD, 0, 0, 50, 20, page.embed, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_SETSEL, 0, 5);
    g_activeField = MakeLayer<FieldLayer>(kObjectText, 31);
    { LayerLock<FieldLayer>(g_activeField)->window = edit; }
    SetActiveTextField(g_activeField);
    items = MenuFor(nullptr);
    SetActiveTextField(nullptr);
    EXPECT_EQ(TextOf(items, 151), "Cut text");
    EXPECT_EQ(TextOf(items, 152), "Copy text");
    EXPECT_EQ(TextOf(items, 154), "Clear text");
    EXPECT_FALSE(ById(items, 158) || ById(items, 159));
    GlobalFree(g_activeField);
    g_activeField = nullptr;
    DestroyWindow(edit);

    // A button: its name from the layer (clamped to it), "Icons..." and the Format menu.
    LayerHandle button = MakeLayer<ButtonLayer>(kObjectButton, 11);
    {
        LayerLock<ButtonLayer> lock(button);
        lock->nameLength = 200;
        std::memset(lock->name, 'B', sizeof lock->name);
    }
    items = MenuFor(button);
    ASSERT_GE(items.size(), 5u);
    EXPECT_EQ(items[0].text, "Button: " + std::string(32, 'B') + "...");
    EXPECT_EQ(items[0].id, 300u);
    EXPECT_EQ(TextOf(items, 15868), "Icons...");
    EXPECT_EQ(items[3].text, "Fo&rmat");
    EXPECT_TRUE(ById(items[3].subItems, 359)) << "Text Style... copied";
    EXPECT_FALSE(ById(items, 300) == nullptr || ById(items, 300)->grayed);
    EXPECT_EQ(TextOf(items, 151), "Cut ");
    EXPECT_EQ(TextOf(items, 152), "Copy ");

    // A graphic and a text object: names from their records; Effects, and Format.
    items = MenuFor(MakeLayer<GraphicLayer>(kObjectGraphic, 21));
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0].text, "Graphic: Sun...");
    EXPECT_EQ(items[2].text, "Effects");
    EXPECT_TRUE(ById(items[2].subItems, 160)) << "Flip Sideways copied";
    items = MenuFor(MakeLayer<FieldLayer>(kObjectText, 31));
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0].text, "Text: Notes...");
    EXPECT_EQ(items[2].text, "Style...") << "the text object's own style";
    EXPECT_EQ(items[2].id, 15867u);
    EXPECT_EQ(items[3].text, "Fo&rmat");
    // Another kind: no menu.
    EXPECT_TRUE(MenuFor(MakeLayer<FieldLayer>(77, 1)).empty());
}

TEST(ContextMenu, CopyMenuTreeCopiesStringsAndFailsOnOwnerDrawn) {
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING | MF_CHECKED, 41, "Inner");
    HMENU source = CreatePopupMenu();
    AppendMenuA(source, MF_STRING | MF_GRAYED, 40, "First");
    AppendMenuA(source, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(source, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Sub");
    HMENU copy = CopyMenuTree(source);
    ASSERT_TRUE(copy);
    const std::vector<Item> items = Items(copy);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "First");
    EXPECT_EQ(items[0].id, 40u);
    EXPECT_TRUE(items[0].grayed);
    EXPECT_TRUE(items[1].separator);
    ASSERT_TRUE(items[2].sub);
    EXPECT_NE(items[2].sub, sub);
    EXPECT_EQ(Items(items[2].sub)[0].text, "Inner");
    EXPECT_EQ(GetMenuState(items[2].sub, 41, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    DestroyMenu(copy);

    AppendMenuA(sub, MF_OWNERDRAW, 42, nullptr);
    EXPECT_EQ(CopyMenuTree(source), nullptr) << "an owner-drawn item in a sub-menu";
    HMENU empty = CreatePopupMenu();
    AppendMenuA(empty, MF_STRING, 43, "");
    EXPECT_EQ(CopyMenuTree(empty), nullptr) << "a string item without text";
    DestroyMenu(empty);
    DestroyMenu(source);
    EXPECT_EQ(CopyMenuTree(nullptr), nullptr);
}

TEST_F(ContextMenuInPlugin, RightClickShowsTheMenuOnlyToAdvancedUsersWithAnEditingTool) {
    const POINT point = {30, 30};
    ASSERT_EQ(PushMouseHook(RecordingHook), 1);
    g_hookMessages.clear();
    SelectToolNumber(kBrowseTool);
    MenuWatch watch = RightClick(page.embed, point, 0);
    EXPECT_FALSE(watch.seen) << "browse mode";
    EXPECT_NE(std::find(g_hookMessages.begin(), g_hookMessages.end(), 517u), g_hookMessages.end())
        << "the hook gets the right button-up";

    SelectToolNumber(20);
    SetAdvancedUser(false);
    g_hookMessages.clear();
    watch = RightClick(page.embed, point, 0);
    EXPECT_FALSE(watch.seen) << "not an advanced user";
    EXPECT_NE(std::find(g_hookMessages.begin(), g_hookMessages.end(), 517u), g_hookMessages.end());
    PopMouseHook();

    // Tool 20: the card's menu; "Copy " copies the card, and the next menu offers to paste it.
    SetAdvancedUser(true);
    watch = RightClick(page.embed, point, 159);
    ASSERT_TRUE(watch.seen);
    EXPECT_EQ(TextOf(watch.items, 159), "Copy ");
    EXPECT_EQ(watch.items[0].text, "Card: " + std::to_string(kMenuCardId) + "...");
    watch = RightClick(page.embed, point, 0);
    ASSERT_TRUE(watch.seen);
    EXPECT_EQ(TextOf(watch.items, 153), "Paste card");
    EXPECT_FALSE(ById(watch.items, 153)->grayed);
}

}  // namespace
