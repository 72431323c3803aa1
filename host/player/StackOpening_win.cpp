// Opening a stack through to its first card, and the program's part at the stack's fixed points.
#include "host/player/StackOpening.h"

#include <windows.h>

#include "actions/NbaMenu.h"
#include "actions/NbaModules.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardRefresh.h"
#include "media/MediaManager.h"
#include "objects/fonts/FontTable_win.h"
#include "objects/text/FieldContents_win.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "stack/open/NewStack.h"
#include "stack/open/StackOpen.h"
#include "stack/open/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"

namespace {

// Text typed on the current card reaches its records before the card picture does.
void StorePendingCardEdits() {
    SaveCurrentFieldContents();
    if (IsCardChanged())
        SaveCurrentBackground();
}

// The stack just read, as the program keeps it: its title (unless it numbers its cards), the
// home stack when it is one, the modules its actions name, then its fonts.
void TakeLoadedStack() {
    if (!ProgramStackSettings().titleWord)
        UpdateCardTitle(false);
    RememberHomeStack();
    AddMissingNbaResources();
    LoadFontTable();
}

}  // namespace

int LoadStack() {
    const int err = LoadStackFile();
    if (err == kFileOk)
        TakeLoadedStack();
    return err;
}

int LoadOtherStack(int slot) {
    const int err = LoadOtherStackFile(slot);
    if (err == kFileOk)
        TakeLoadedStack();
    return err;
}

int OpenStack(bool ask) {
    if (IsStackOpen())
        LeaveCard(false);  // without history: a move to another stack records it first
    if (ask) {
        CopyFileSpec(kSlotCurrentStack, kSlotScratch);
        if (!ChooseStackFile(GetMainWindow())) {
            RefreshCurrentCard(0);
            return 0;
        }
        CopyFileSpec(kSlotScratch, kSlotCurrentStack);
    }
    OnStackEvent(StackEvent::RemovingFiltersMenu);
    const int err = LoadStack();
    if (err != kFileOk) {
        ShowErrorMessage(err);  // -12: already reported
        OnStackEvent(StackEvent::StartingEmptyStack);
        return err;
    }
    SetCurrentCardId(GetCardId(GetCardByIndex(1)));
    EnterCard(kPlainTransition, 0, kPlainSpeed, true);
    return 0;
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
    // A player that played a segment is settled before the next stack's cards.
    case StackEvent::ClosingStackExtras: OpenVideodiscPlayer(); break;
    // What has no owner built yet: the menus and the card history of a new stack.
    case StackEvent::RemovingFiltersMenu:
    case StackEvent::StartingEmptyStack:
    case StackEvent::ApplyingMenuLock:
    case StackEvent::PushingCardHistory:
    case StackEvent::GoingToFirstCard:
        break;
    case StackEvent::ResettingFontTable: ResetFontTable(); break;
    case StackEvent::StoringFontTable: SaveFontTable(); break;
    case StackEvent::ClosingNbas: EndStackNBAs(false); break;
    case StackEvent::ClosingNbasFinally: EndStackNBAs(true); break;
    case StackEvent::CallingNbaMain: FreeNbaMenuIf(1); break;
    }
}

