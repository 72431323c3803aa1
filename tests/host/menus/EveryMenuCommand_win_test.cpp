// Every command of the menu bar and of the context menus reaches its own code: any dialog it
// shows is its own, and a command whose owner is not built shows nothing, is only recorded and
// has its item greyed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/ui/Resources.h"
#include "host/medialibrary/MediaBrowser.h"
#include "host/menus/MenuCommands.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "objects/ObjectServices.h"
#include "tests/host/MenuTestWindow_win.h"

namespace {

void CollectIds(HMENU menu, std::vector<int>* ids) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            CollectIds(sub, ids);
        else if (UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1))
            ids->push_back(static_cast<int>(id));
    }
}

// Every dialog that shows while a command runs is noted by its caption and cancelled: what a
// command may show depends on what earlier tests left (a stack, a picture source), so each
// command's own dialogs are all it may show, whichever of them it shows.
std::vector<std::string>* g_captions = nullptr;

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    char name[32] = {}, caption[128] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "#32770") {
        GetWindowTextA(window, caption, sizeof caption);
        g_captions->push_back(caption);
        EndDialog(window, IDCANCEL);
    }
    return TRUE;
}

void CALLBACK CancelDialogs(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0); }

std::vector<std::string> CaptionsWhile(const std::function<void()>& run) {
    std::vector<std::string> captions;
    g_captions = &captions;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelDialogs);
    run();
    KillTimer(nullptr, timer);
    g_captions = nullptr;
    return captions;
}

enum class Outcome { Runs, Deferred, Unhandled };
struct Expected {
    Outcome outcome = Outcome::Runs;
    std::set<std::string> captions;  // the dialogs that are its own, by their captions' start
};

// What each command does and which dialogs are its own.
std::map<int, Expected> ExpectedOutcomes() {
    std::map<int, Expected> table;
    for (int id : {110, 150, 151, 152, 153, 154, 155, 158, 159, 160, 161, 200, 201, 202, 203, 204, 205, 250, 300,
                   304, 305, 352, 353, 354, 355, 356, 357, 358, 363, 364, 365, 1375, 1376, 1377, 1378, 1379,
                   1380, 1381, 15868, 15869, 15870})
        table[id] = {};
    // The Colors menu's item is answered by the menu request; the help files are not there.
    for (int id : {400, 653, 654, 655})
        table[id] = {Outcome::Unhandled, {}};
    for (int id : {162, 350, 351, 362, 366, 367, 369, 600, 700, 701, 702, 703, 704, 705, 706, 707})
        table[id] = {Outcome::Deferred, {}};
    const std::pair<std::vector<int>, std::set<std::string>> dialogs[] = {
        {{100}, {"Pageloom", "Card Size and Colors"}},
        {{101}, {"Please select a stack", "Pageloom"}},
        {{157, 403}, {"Pageloom"}},
        {{102, 103}, {"Please name this Stack", "Pageloom"}},
        {{104, 106, 307, 4183}, {"Picture Source", "Please select a picture file", "Pageloom"}},
        {{105}, {"Please name this Screen", "Pageloom"}},
        {{107, 108, 109}, {"Page Setup", "Print", "Slide Show", "Pageloom"}},
        {{163}, {"Erase Background"}},
        {{206}, {"Jump to Card"}},
        {{207}, {"Find Text"}},
        {{301}, {"About Card"}},
        {{303}, {"About Stack"}},
        {{306}, {"Button Appearance", "Pageloom"}},
        {{308}, {"Pageloom", "Text Appearance"}},
        {{311}, {"Hypertext Links"}},
        {{359}, {"Text Style"}},
        {{360}, {"Text Color"}},
        {{361}, {"Eraser Color"}},
        {{501, 502}, {"Pageloom"}},
        {{651}, {"About Pageloom"}},
        {{652}, {"Stack Preferences"}},
    };
    for (const auto& [ids, captions] : dialogs)
        for (int id : ids)
            table[id] = {Outcome::Runs, captions};
    return table;
}

}  // namespace

class EveryMenuCommandTest : public MenuTestWindow {};

TEST_F(EveryMenuCommandTest, EachCommandReachesItsOwnCodeOrDoesNothing) {
    HMENU bar = ResLoadMenu("LM");
    ASSERT_TRUE(bar);
    std::vector<int> ids;
    CollectIds(bar, &ids);
    // The context menus' own numbers (the rest are copies of the bar's items).
    for (UINT id : {kCommandImportBackgroundItem, kCommandIcons, kCommandFeatures, kCommandActions})
        ids.push_back(static_cast<int>(id));
    ids.push_back(kMediaLibCommand);
    // New Stack last: the stack it makes would change what the others do.
    std::erase(ids, 100);
    ids.push_back(100);
    const std::map<int, Expected> table = ExpectedOutcomes();
    const bool shown = ObjectsShown(), filled = IsDrawFilled(), multiple = IsDrawMultiple(),
               centered = IsDrawCentered(), frameMenu = GetFrameMenu();
    for (int id : ids) {
        SCOPED_TRACE("command " + std::to_string(id));
        const auto found = table.find(id);
        if (found == table.end()) {
            ADD_FAILURE() << "no expected outcome for this command";
            continue;
        }
        const Expected& expected = found->second;
        bool handled = false;
        const std::vector<std::string> captions = CaptionsWhile([&] { handled = DoMenuCommand(card_, id); });
        EXPECT_EQ(handled, expected.outcome != Outcome::Unhandled);
        for (const std::string& caption : captions)
            EXPECT_TRUE(std::any_of(expected.captions.begin(), expected.captions.end(),
                                    [&](const std::string& own) { return caption.starts_with(own); }))
                << "a dialog not its own: " << caption;
        const std::vector<int> recorded = TakeDeferredCommands();
        EXPECT_EQ(recorded, expected.outcome == Outcome::Deferred ? std::vector<int>{id} : std::vector<int>{});
    }

    // The options toggled above are put back for the tests after this one.
    for (auto [now, before, command] : {std::tuple{ObjectsShown(), shown, 364}, {IsDrawFilled(), filled, 352},
                                        {IsDrawMultiple(), multiple, 353}, {IsDrawCentered(), centered, 354},
                                        {GetFrameMenu(), frameMenu, 365}})
        if (now != before)
            DoMenuCommand(card_, command);
    DoMenuCommand(card_, 355);
    TakeDeferredCommands();

    // The unbuilt ones are grey in every menu; their built neighbours are not.
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
        UpdateMenus(card_, i, GetSubMenu(bar, i), false);
    for (const auto& [id, expected] : table) {
        const UINT state = GetMenuState(bar, static_cast<UINT>(id), MF_BYCOMMAND);
        if (expected.outcome == Outcome::Deferred) {
            EXPECT_TRUE(state != static_cast<UINT>(-1) && (state & MF_GRAYED)) << "item " << id;
        }
    }
    for (UINT id : {163u, 311u, 352u, 359u, 652u})
        EXPECT_FALSE(GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) << "item " << id;
    DestroyMenu(bar);
}
