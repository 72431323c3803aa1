// Requests of the user interface: menu items, alerts, the names performed last, transition
// names, printing, the cursor, favourites, shortcuts and the stack preview.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorCache.h"
#include "core/ui/Resources.h"
#include "cardview/transitions/QtEffectState.h"
#include "cardview/transitions/TransitionTable.h"
#include "host/palettes/Favorites.h"
#include "host/dialogs/Printing.h"
#include "host/menus/MenuRequest.h"
#include "host/menus/Shortcuts.h"
#include "host/player/ButtonActions.h"
#include "host/player/TextLinkFollow.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"

namespace {

constexpr size_t kAlertRequestMax = 256;

// Names not known yet are answered with an empty one, never with a null pointer.
const uint8_t g_noName[kNameBytes] = {};

const uint8_t* NameOrEmpty(const uint8_t* name) { return name ? name : g_noName; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A single backslash separates the button titles ("~"); two stand for one backslash.
std::string AlertTextFromRequest(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += '~';
        }
    }
    return out;
}

// Transition names: the 27 of the lists, then the effects from 28 on.
int TransitionNumberOfName(std::string_view name) {
    for (int i = 0; i < kTransitionListCount; ++i)
        if (SameIgnoringCase(ResText(2750 + static_cast<uint32_t>(i)), name))
            return kTransitionListNumbers[static_cast<size_t>(i)];
    return QTFindEffectByName(name);
}

std::string TransitionNameOfNumber(int number) {
    if (number >= kFirstEffectListItem) {
        char name[256] = {};
        return QTGetEffectName(number, name, sizeof name) ? std::string(name) : std::string();
    }
    const int id = TransitionNameStringId(number);
    return id ? ResText(static_cast<uint32_t>(id)) : std::string();
}

}  // namespace

void CbDoMenuItem(NbaParamBlock& b) {
    const std::string title = CallerPString(b.param3);
    const std::string item = CallerPString(b.param4);
    if (title.empty())
        return;
    RunMenuRequest(GetMainWindow(), title, item);
}

void CbDoAlert(NbaParamBlock& b) {
    if (!b.param1)
        return;
    const std::string text = AlertTextFromRequest(CallerCString(b.param1, kAlertRequestMax));
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param2));
    if (!owner || !IsWindow(owner))
        owner = GetMainWindow();
    b.param1 = static_cast<uint32_t>(ShowAlertText(owner, text.c_str()));
}

void CbGetObjectName(NbaParamBlock& b) {
    b.param1 = BlockValue(NameOrEmpty(LastButtonName()));
    b.param2 = BlockValue(NameOrEmpty(LastPerformedObjectName(1)));
    b.param3 = BlockValue(NameOrEmpty(LastPerformedObjectName(2)));
    b.param4 = BlockValue(LastLinkName());
}

void CbSetTransition(NbaParamBlock& b) {
    if (b.param2 == 0) {
        const std::string name = CallerPString(b.param1);
        b.param1 = static_cast<uint32_t>(name.empty() ? -1 : TransitionNumberOfName(name));
        return;
    }
    const std::string name = TransitionNameOfNumber(static_cast<int32_t>(b.param1));
    const Handle out = CallerHandle(b.param3);
    if (name.empty()) {
        b.param1 = static_cast<uint32_t>(-1);
        return;
    }
    if (!out)
        return;
    const size_t n = std::min(name.size(), kRequestPStringMax);
    std::string stored(1, static_cast<char>(n));
    stored.append(name, 0, n);
    SetHandleBytes(out, std::span(reinterpret_cast<const uint8_t*>(stored.data()), stored.size()));
}

void CbPrint(NbaParamBlock& b) {
    if (b.param2 == 0) {
        b.param1 = 0;
        return;
    }
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param1));
    if (!owner || !IsWindow(owner))
        owner = GetMainWindow();
    // A handle of ours is a module's print request (cards or pictures); any other option
    // prints the current card.
    const Handle request = CallerHandle(b.param2);
    const std::vector<uint8_t> bytes = request ? HandleToBytes(request) : std::vector<uint8_t>();
    char title[MAX_PATH] = {};
    if (const FileSpec* stack = GetFileSpec(kSlotCurrentStack))
        CopyPathText(NameOf(*stack), title, sizeof title);
    b.param1 = static_cast<uint32_t>(
        DoPrintMenuCommand(GetMainWindow(), owner, kPrintCommand, GetCurrentCardRecord(), title, bytes));
}

void CbSetCursorHideMode(NbaParamBlock& b) {
    SetCursorHideMode(static_cast<int>(b.param2));
    b.param1 = 1;
}

void CbShowFavorites(NbaParamBlock&) { ShowFavorites(); }
void CbShowShortcuts(NbaParamBlock&) { ShowShortcutsPalette(); }
void CbSaveStackPreview(NbaParamBlock&) { SaveStackPreviewJpeg(); }
