// Opening a stack through to its first card, and the program's part at the stack's fixed points.
#include "layers/CardFlush.h"
#include "host/player/StackOpening.h"

#include <windows.h>

#include <algorithm>

#include "actions/NbaMenu.h"
#include "actions/NbaModules.h"
#include "authoring/text/NewTextObject.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/ScreenDepth.h"
#include "host/downloads/BrowserInstance.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/CardHistory.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardNavigationRules.h"
#include "host/player/CardRefresh.h"
#include "host/player/StackGate.h"
#include "host/state/Preferences.h"
#include "media/MediaManager.h"
#include "objects/fonts/FontTable_win.h"
#include "objects/text/FieldContents_win.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "stack/open/NewStack.h"
#include "stack/open/StackOpen.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr int kStartCardWidth = 512, kStartCardHeight = 384;

// The stack just read, as the program keeps it: where it came from and whether its file is only a
// downloaded copy,
// its title (unless it numbers its cards), the home stack when it is one, the modules its
// actions name, then its fonts.
void TakeLoadedStack() {
    SetStackFileIsDownloadCopy(TakeOpenedStackOrigin());
    if (!ProgramStackSettings().titleWord)
        UpdateCardTitle(false);
    RememberHomeStack();
    AddMissingNbaResources();
    LoadFontTable();
}

// A new stack's one card is entered, unless making it did so already. No history entry: the
// card of the stack before is there already, and this one goes there when it is left.
void EnterFirstCard() {
    const Handle first = FirstLiveCard();
    if (first && GetCardId(first) != GetCurrentCardId())
        GoToCardInStack(GetCardId(first));
}

// The card window takes the card's size, within the area the page gave the plug-in.
void FitWindowToCard(int width, int height) {
    const HWND window = GetMainWindow();
    if (!window || !IsWindow(window) || width <= 0 || height <= 0)
        return;
    const FirstWindowCopy& page = GetFirstWindow();
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int borderX = (outer.right - outer.left) - client.right;
    const int borderY = (outer.bottom - outer.top) - client.bottom;
    int outerWidth = width + borderX, outerHeight = height + borderY;
    if (page.window && page.width && page.height) {
        outerWidth = std::min(outerWidth, static_cast<int>(page.width));
        outerHeight = std::min(outerHeight, static_cast<int>(page.height));
    }
    SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

void ClearLoadedStackChanges() {
    ClearStackChanged();
    ClearCardChanged();
}

int LoadStack() {
    const int err = LoadStackFile();
    if (err == kFileOk) {
        ClearLoadedStackChanges();
        TakeLoadedStack();
    }
    return err;
}

int LoadOtherStack(const FileSpec& stack) {
    const int err = LoadOtherStackFile(stack);
    if (err == kFileOk) {
        ClearLoadedStackChanges();
        TakeLoadedStack();
    }
    return err;
}

int OpenStack(bool ask) {
    if (HoldUnderEditor(HeldScope::kStack, [=] { OpenStack(ask); }))
        return kFileRefused;
    const StackGateScope gate;
    if (!gate.MayReplaceStack())
        return kFileRefused;
    if (IsStackOpen())
        LeaveCard(false);  // without history: a move to another stack records it first
    int err = kFileOk;
    if (ask) {
        FileSpec chosen;
        if (!ChooseStackFile(GetMainWindow(), kSlotCurrentStack, &chosen)) {
            RefreshCurrentCard(0);
            return 0;
        }
        TrustStackFile(std::string(PathOf(chosen)).c_str());  // the person's own choice of file
        OnStackEvent(StackEvent::RemovingFiltersMenu);
        // The open stack goes only once the chosen one is read whole: a file that cannot be
        // opened or read leaves it shown as it was.
        err = LoadOtherStack(chosen);
        if (err != kFileOk && IsStackOpen()) {
            RefreshCurrentCard(0);
            return err;
        }
    } else {
        OnStackEvent(StackEvent::RemovingFiltersMenu);
        err = LoadStack();
    }
    if (err != kFileOk) {
        ShowErrorMessage(err);  // -12: already reported
        if (!IsStackOpen())  // a reader that reported the stack unreadable has started one
            OnStackEvent(StackEvent::StartingEmptyStack);
        return err;
    }
    SetCurrentCardId(GetCardId(GetCardByIndex(1)));
    EnterCard({}, true);
    ClearLoadedStackChanges();
    return 0;
}

void NewStack() {
    if (HoldUnderEditor(HeldScope::kStack, [] { NewStack(); }))
        return;
    const StackGateScope gate;
    if (!gate.MayReplaceStack())
        return;
    if (IsStackOpen())
        LeaveCard(false);  // the new stack records the card in the history
    uint16_t currentWidth = 0, currentHeight = 0;
    CurrentCardSize(&currentWidth, &currentHeight);
    int width = currentWidth ? currentWidth : kStartCardWidth;
    int height = currentHeight ? currentHeight : kStartCardHeight;
    int depth = GetScreenDepth();
    StartStack(true, &width, &height, &depth);
    uint16_t newWidth = 0, newHeight = 0;
    CurrentCardSize(&newWidth, &newHeight);
    FitWindowToCard(newWidth, newHeight);
    ClearCardChanged();
    NoteNewStackMade();
}

void OnStackEvent(StackEvent event) {
    switch (event) {
    case StackEvent::ForgettingRefusedDownload: {
        char path[kFileSpecPathSize] = {};
        GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
        ForgetCachedFile(path);
        break;
    }
    case StackEvent::UpdatingCardTitle: UpdateCardTitle(false); break;
    case StackEvent::NamingUntitled: SetStackNameFromDefault(); break;
    case StackEvent::StoringCardEdits: StorePendingCardEdits(); break;
    case StackEvent::FlushingCardEdits: FlushCardEdits(); break;
    case StackEvent::DepthCardConverted: AdvanceProgress(); break;
    case StackEvent::RemovingFinishedMovies: MediaRemoveFinished(0, 0); break;
    case StackEvent::RemovingFiltersMenu: RemoveFrameFiltersMenu(GetFrameWindow()); break;
    case StackEvent::ApplyingMenuLock: SetMenuLocked(GetFrameWindow(), ProgramStackSettings().menuLock != 0); break;
    case StackEvent::StartingEmptyStack: StartEmptyStack(); break;
    case StackEvent::PushingCardHistory: PushCardHistory(); break;
    case StackEvent::GoingToFirstCard: EnterFirstCard(); break;
    case StackEvent::ClosingStackExtras:
        // A player that played a segment is settled before the next stack's cards (the clipboard's
        // marks went with the stack itself).
        OpenVideodiscPlayer();
        ForgetStackTextCursor();
        break;
    case StackEvent::ResettingFontTable: ResetFontTable(); break;
    case StackEvent::StoringFontTable: SaveFontTable(); break;
    case StackEvent::SavedToItsFile: NoteOpenStackSaved(); break;
    case StackEvent::ClosingNbas: EndStackNBAs(false); break;
    case StackEvent::ClosingNbasFinally: EndStackNBAs(true); break;
    case StackEvent::CallingNbaMain: FreeNbaMenuIf(1); break;
    }
}

