// The navigation palette in the plug-in as the test browser hosts it: where it opens, its
// buttons' commands, the card list, adding, choosing and editing favourites, and what the
// profile file holds after closing, after reopening and after the browser closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "TestBrowser.h"
#include "core/files/FileSlots.h"
#include "host/palettes/Favorites.h"
#include "host/player/CardHistory.h"
#include "host/state/Preferences.h"
#include "resources/favorites_ids.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

// The profile file beside the program (here the test program).
std::string IniPath() {
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path(exe, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of("\\/") + 1) + kPrefsFileName;
}

std::string Ini(const char* key) {
    char value[1024] = {};
    GetPrivateProfileStringA(kFavoritesSection, key, "(none)", value, sizeof value, IniPath().c_str());
    return value;
}

void SetIni(const char* key, const std::string& value) {
    WritePrivateProfileStringA(kFavoritesSection, key, value.c_str(), IniPath().c_str());
}

void ClearIni() { WritePrivateProfileStringA(kFavoritesSection, nullptr, nullptr, IniPath().c_str()); }

// Five cards; the first has no name.
sb::Stack FiveCards() {
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    const uint16_t ids[] = {1234, 2000, 3000, 4000, 5000};
    const char* names[] = {"", "Second", "Third", "Fourth", "Fifth"};
    for (int i = 0; i < 5; ++i) {
        sb::Card card = sb::PlainCard(ids[i]);
        card.name = names[i];
        stack.cards.push_back(card);
    }
    return stack;
}

// The card window's menu commands are recorded and kept from the plug-in.
std::vector<int> g_commands;
WNDPROC g_next = nullptr;
LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) >= 200 && LOWORD(wParam) <= 205) {
        g_commands.push_back(LOWORD(wParam));
        return 0;
    }
    return CallWindowProcA(g_next, window, message, wParam, lParam);
}

struct Hosted {
    LinkedPluginPage page;
    std::string stackName;
    bool Open() {
        ClearIni();
        stackName = "fav-" + ProcessTag() + ".stk";
        if (!OpenInLinkedPlugin(FiveCards(), stackName, &page))
            return false;
        SetWindowPos(page.page, nullptr, 500, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return GetCurrentCardId() == 1234;
    }
    ~Hosted() {
        if (page.page)
            CloseLinkedPlugin(&page);
        ClearIni();
        FreeCardHistory();  // the moves made here are no other test's history
    }
};

DialogView Palette() {
    ShowFavorites();
    return DialogView(GetFavoritesWindow());
}

void Choose(DialogView& palette, int list, int item) { palette.SetListSelection(list, item); }

TEST(FavoritesPalette, ButtonsListsAndAddingInTheHostedPlugin) {
    Hosted hosted;
    ASSERT_TRUE(hosted.Open());
    DialogView palette = Palette();
    ASSERT_TRUE(palette.Window());
    RECT box{}, card{};
    GetWindowRect(palette.Window(), &box);
    GetWindowRect(hosted.page.embed, &card);
    EXPECT_EQ(box.right, card.left) << "the first opening lies left of the card window";
    EXPECT_EQ(box.top, card.top);

    // The buttons' commands reach the card window.
    g_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hosted.page.embed, GWLP_WNDPROC,
                                                         reinterpret_cast<LONG_PTR>(RecordCommands)));
    for (int id = IDC_NAV_PREVIOUS; id <= IDC_NAV_HOME; ++id)
        SendMessageA(palette.Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(palette.Window(), id)));
    SetWindowLongPtrA(hosted.page.embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_next));
    EXPECT_EQ(g_commands, (std::vector<int>{203, 204, 202, 205, 200, 201}));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(palette.Window(), IDC_NAV_HOME), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    // The card list; item 2 enters the third card and the list follows every entered card.
    ASSERT_EQ(palette.ListCount(IDC_NAV_CARDS), 5);
    EXPECT_EQ(palette.ListItem(IDC_NAV_CARDS, 0), "1");
    EXPECT_EQ(palette.ListItem(IDC_NAV_CARDS, 1), "2 - Second");
    EXPECT_EQ(palette.ListSelection(IDC_NAV_CARDS), 0);

    // Favourites: the three fixed items, then an add of the unnamed card.
    ASSERT_EQ(palette.ListCount(IDC_NAV_FAVORITES), 3);
    EXPECT_EQ(palette.ListItem(IDC_NAV_FAVORITES, 0), "Add as Favorite");
    EXPECT_EQ(palette.ListItem(IDC_NAV_FAVORITES, 1), "Edit Favorites list...");
    ASSERT_TRUE(StackHasFile());
    Choose(palette, IDC_NAV_FAVORITES, 0);
    ASSERT_EQ(palette.ListCount(IDC_NAV_FAVORITES), 4);
    EXPECT_EQ(palette.ListItem(IDC_NAV_FAVORITES, 3), std::string(GetStackName()) + " - Card ID: 1234");
    EXPECT_EQ(palette.ListSelection(IDC_NAV_FAVORITES), 0);
    Choose(palette, IDC_NAV_FAVORITES, 0);
    EXPECT_EQ(palette.ListCount(IDC_NAV_FAVORITES), 4) << "the same card again";

    Choose(palette, IDC_NAV_CARDS, 2);
    EXPECT_EQ(GetCurrentCardId(), 3000);
    EXPECT_EQ(palette.ListSelection(IDC_NAV_CARDS), 2);
    Choose(palette, IDC_NAV_FAVORITES, 0);
    EXPECT_EQ(palette.ListItem(IDC_NAV_FAVORITES, 4), std::string(GetStackName()) + " - Third");

    // Choosing the first favourite (its path in other case) goes to its card in this stack.
    char* path = FavoritesTable()[0].path;
    CharUpperA(path);
    Choose(palette, IDC_NAV_FAVORITES, 3);
    EXPECT_EQ(GetCurrentCardId(), 1234);
    EXPECT_EQ(palette.ListSelection(IDC_NAV_FAVORITES), 0);
    EXPECT_EQ(palette.ListSelection(IDC_NAV_CARDS), 0);
    Choose(palette, IDC_NAV_FAVORITES, 2);  // the separator does nothing
    EXPECT_EQ(palette.ListSelection(IDC_NAV_FAVORITES), 0);

    // An unsaved stack adds nothing.
    SetStackHasFile(false);
    Choose(palette, IDC_NAV_CARDS, 4);
    Choose(palette, IDC_NAV_FAVORITES, 0);
    EXPECT_EQ(FavoritesCount(), 2);
    SetStackHasFile(true);

    // Closing saves; the browser closing with the palette open destroys and saves it too.
    SendMessageA(palette.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(GetFavoritesWindow(), nullptr);
    EXPECT_EQ(Ini("FavCount"), "2");
    EXPECT_EQ(Ini("FavCardID1"), "3000");
    EXPECT_EQ(Ini("FavCard1"), "Third");
    EXPECT_EQ(Ini("PosX"), std::to_string(box.left));

    DialogView again = Palette();
    EXPECT_EQ(again.ListCount(IDC_NAV_FAVORITES), 5) << "read back from the profile file";
    SetWindowPos(again.Window(), nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CloseLinkedPlugin(&hosted.page);
    EXPECT_EQ(GetFavoritesWindow(), nullptr);
    EXPECT_EQ(Ini("PosX"), "33");
    EXPECT_EQ(Ini("PosY"), "44");
    EXPECT_EQ(Ini("FavCount"), "2");
}

TEST(FavoritesPalette, EditingDeletesAndTheProfileKeepsOnlyWhatRemains) {
    Hosted hosted;
    ASSERT_TRUE(hosted.Open());
    DialogView palette = Palette();
    ASSERT_TRUE(palette.Window());
    for (int item = 0; item < 5; ++item) {
        Choose(palette, IDC_NAV_CARDS, item);
        Choose(palette, IDC_NAV_FAVORITES, 0);
    }
    ASSERT_EQ(FavoritesCount(), 5);
    SendMessageA(palette.Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(Ini("FavPath4").empty(), false);

    palette = Palette();
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Favorites"), [](DialogView& box) {
        EXPECT_EQ(box.ListCount(IDC_FAV_LIST), 5);
        EXPECT_EQ(box.ListSelection(IDC_FAV_LIST), 0);
        SendDlgItemMessageA(box.Window(), IDC_FAV_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SendMessageA(box.Window(), WM_COMMAND, IDC_FAV_DELETE, 0);
        EXPECT_EQ(box.ListCount(IDC_FAV_LIST), 5) << "nothing selected: nothing deleted";
        box.SetListSelection(IDC_FAV_LIST, 1);
        SendMessageA(box.Window(), WM_COMMAND, IDC_FAV_DELETE, 0);
        EXPECT_EQ(box.ListSelection(IDC_FAV_LIST), 0) << "the item before it";
        box.SetListSelection(IDC_FAV_LIST, 2);
        SendMessageA(box.Window(), WM_COMMAND, IDC_FAV_DELETE, 0);
        EXPECT_EQ(box.ListCount(IDC_FAV_LIST), 3);
        box.Press(IDOK);
    });
    driver.Run([&] { palette.SetListSelection(IDC_NAV_FAVORITES, 1); });
    EXPECT_EQ(driver.Answered(), 1);
    EXPECT_EQ(FavoritesCount(), 3);
    EXPECT_EQ(palette.ListCount(IDC_NAV_FAVORITES), 6);
    EXPECT_EQ(palette.ListSelection(IDC_NAV_FAVORITES), 0);
    EXPECT_EQ(FavoritesTable()[1].cardId, 3000) << "the second and fourth went";
    EXPECT_EQ(FavoritesTable()[2].cardId, 5000);

    // Cancel changes nothing.
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Caption("Favorites"), [](DialogView& box) {
        SendMessageA(box.Window(), WM_COMMAND, IDC_FAV_DELETE, 0);
        box.Press(IDCANCEL);
    });
    cancel.Run([&] { palette.SetListSelection(IDC_NAV_FAVORITES, 1); });
    EXPECT_EQ(FavoritesCount(), 3);

    SendMessageA(palette.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Ini("FavCount"), "3");
    EXPECT_EQ(Ini("FavCardID1"), "3000");
    for (const char* key : {"FavPath3", "FavStack3", "FavCardID3", "FavCard3", "FavPath4", "FavCard4"})
        EXPECT_EQ(Ini(key), "(none)") << key;
}

// A favourite of another stack beside this web stack is asked of the browser and opened at its
// card when it arrives; a favourite whose stack is nowhere leaves the current card.
TEST(FavoritesPalette, AFavouriteOfAnotherStackOpensIt) {
    Hosted hosted;
    ASSERT_TRUE(hosted.Open());
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string other = std::string(folder) + "fav-other-" + ProcessTag() + ".stk";
    sb::Stack target;
    target.cardWidth = 160;
    target.cardHeight = 120;
    target.cards = {sb::PlainCard(7000), sb::PlainCard(8000)};
    ASSERT_TRUE(sb::WriteFile(other, sb::BuildStack(target).bytes));
    const auto deliver = [] {
        const DWORD start = GetTickCount();
        while (HasStreamWork() && GetTickCount() - start < 5000) {
            PumpPageMessages();
            PumpStreams();
        }
        PumpPageMessages();
    };
    char first[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof first, first);
    SetIni("PosX", "10");
    SetIni("PosY", "10");
    SetIni("FavCount", "2");
    SetIni("FavPath0", other);
    SetIni("FavStack0", "other.stk");
    SetIni("FavCardID0", "8000");
    SetIni("FavCard0", "");
    SetIni("FavPath1", "C:\\Elsewhere\\absent.stk");
    SetIni("FavStack1", "absent.stk");
    SetIni("FavCardID1", "4000");
    SetIni("FavCard1", "");
    DialogView palette = Palette();
    ASSERT_EQ(palette.ListItem(IDC_NAV_FAVORITES, 3), "other.stk - Card ID: 8000");
    Choose(palette, IDC_NAV_FAVORITES, 4);
    deliver();
    EXPECT_EQ(GetCurrentCardId(), 1234) << "a stack that is nowhere leaves the card";
    Choose(palette, IDC_NAV_FAVORITES, 3);
    deliver();
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_NE(std::string(path), std::string(first));
    EXPECT_EQ(GetCurrentCardId(), 8000);
    EXPECT_EQ(palette.ListSelection(IDC_NAV_FAVORITES), 0);
    SendMessageA(palette.Window(), WM_CLOSE, 0, 0);
    DeleteFileA(other.c_str());
}

TEST(FavoritesPalette, StoredValuesComeBackWholeOrWithinBounds) {
    Hosted hosted;
    ASSERT_TRUE(hosted.Open());
    const std::string longPath = "C:\\" + std::string(192, 'd') + "\\x.stk";
    ASSERT_EQ(longPath.size(), 201u);
    SetIni("PosX", "5000");
    SetIni("PosY", "-300");
    SetIni("FavCount", "99");
    for (int i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        SetIni(("FavPath" + n).c_str(), i == 0 ? longPath : "C:\\other" + n + ".stk");
        SetIni(("FavStack" + n).c_str(), "other.stk");
        SetIni(("FavCardID" + n).c_str(), n);
        SetIni(("FavCard" + n).c_str(), "");
    }
    DialogView palette = Palette();
    ASSERT_TRUE(palette.Window());
    EXPECT_EQ(FavoritesCount(), 30) << "at most 30 are taken";
    EXPECT_EQ(std::string(FavoritesTable()[0].path), longPath);
    RECT box{};
    GetWindowRect(palette.Window(), &box);
    EXPECT_EQ(box.left, GetSystemMetrics(SM_CXSCREEN) - (box.right - box.left));
    EXPECT_EQ(box.top, 0);
    Choose(palette, IDC_NAV_FAVORITES, 0);
    EXPECT_EQ(FavoritesCount(), 30) << "the 31st add";
    EXPECT_EQ(palette.ListCount(IDC_NAV_FAVORITES), 33);
    SendMessageA(palette.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Ini("FavCount"), "30");
    EXPECT_EQ(Ini("FavPath0"), longPath);
}

}  // namespace
