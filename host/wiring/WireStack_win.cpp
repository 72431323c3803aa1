// The stack layers' upcalls filled, each interface whole: the stack format's
// (format/FormatUpcalls.h), the stack's (stack/StackUpcalls.h) and card import's and
// saved objects' (authoring/AuthoringUpcalls.h); and the platform under the stack
// (stack/StackPlatform.h). What a slot's owner has not built yet keeps its
// default.
#include "host/wiring/LayerWiring.h"

#include <windows.h>

#include "actions/FrameAnimations.h"
#include "actions/NbaMenu.h"
#include "actions/NbaModules.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/PrefsFile.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorImages.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/card/CardRender.h"
#include "cardview/colors/ColorChooser.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/OffscreenDib.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackGate.h"
#include "host/player/StackOpening.h"
#include "logo/Logo.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "objects/text/FieldContents_win.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "stack/depth/StackDepth.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "authoring/AuthoringUpcalls.h"
#include "authoring/cards/ReadyMadeMenu.h"
#include "authoring/cards/UndoServices.h"
#include "format/FormatUpcalls.h"
#include "stack/open/NewStack.h"
#include "stack/open/StackOpen.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/save/SaveStack.h"

namespace {

// ---- the stack ----

// A stack just read rebuilds the offscreen at its own card size (what is printed and copied);
// the plug-in window keeps the size the page gave it (FitWindowToPage). Without a live window
// there is no offscreen to remake.
void ResizeOffscreenForStack(int width, int height, int depth) {
    if (HWND window = GetMainWindow(); window && IsWindow(window))
        InitDataBase(window, width, height, depth, true);
}

// The stack's preview takes the current card rendered off screen.
DibHandle RenderCurrentCard() {
    DibHandle dib = 0;
    RenderCardToDib(GetCurrentCardRecord(), &dib);
    return dib;
}

StackPlatformOps StackPlatformOfTheSystem() {
    StackPlatformOps o = DefaultStackPlatformOps();
    o.freeSpace = [](const char* path, uint32_t* bytes) { return CheckDriveSpace(path, bytes) == kFileOk; };
    o.deleteGdiObject = [](uint32_t object) { DeleteObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(object))); };
    o.clearSystemClipboard = EmptySystemClipboard;
    o.setClipboardMarker = MarkSystemClipboard;
    o.displayBitsPerPixel = GetDisplayBitsPerPixel;
    o.offscreenPicture = OffscreenPictureForStack;
    o.offscreenSnapshot = OffscreenToDib;
    o.appPaletteColors = AppPaletteColors;
    o.readSavePreference = [](const char* section, const char* key, char* buffer, int size) {
        ReadPrefString(section, key, buffer, size);
        if (size > 0 && !buffer[0])
            CopyPathText(kPrefMissing, buffer, size_t(size));  // an empty value sets nothing
    };
    o.convertCardPicture = ConvertCardPicture;
    o.convertCardGraphicsDepth = ConvertCardGraphicsDepth;
    o.changeStackSize = ChangeStackSizeSettlingPlayer;
    o.resizeCardArea = ResizeOffscreenForStack;
    return o;
}

StackUpcalls StackUpcallsOfThePlugin() {
    StackUpcalls u = DefaultStackUpcalls();
    u.restoreSnapshot = RestoreOffscreenSnapshot;
    u.renderCardToDib = RenderCurrentCard;
    u.remapFrameAnimColors = [](Handle card, uint32_t offset, void* palette) {
        RemapFrameAnimColors(card, offset, static_cast<HPALETTE>(palette));
    };

    u.goToCardId = [](uint16_t id, int transition, int effect, int speed) { GoToCardId(id, {transition, effect, speed}); };
    u.refreshCurrentCard = RefreshCurrentCard;
    u.eraseCardBackground = EraseCardBackground;
    u.runCardAction = RunCardAction;

    u.stackEvent = OnStackEvent;
    u.askCardSizeForNewStack = [](int* width, int* height, int* depth) {
        return AskCardSizeForNewStack(GetMainWindow(), width, height, depth);
    };

    // The stack keeps the LoomLogo workspace as resource 'WKSp': it is handed over when a stack
    // opens and asked for when one is saved.
    u.produceWorkspace = SaveLogoWorkspace;
    u.loadWorkspace = [](Handle text) { LoadLogoWorkspace(GetCardWindow(), text); };

    u.rebuildLayers = RebuildCurrentCardLayers;
    u.syncCardFromLayers = SyncCardFromLayers;
    u.deselectObject = [] { DeselectObject(GetCardWindow()); };
    return u;
}

// ---- card import and saved objects ----

bool StackIsFresh() { return !IsCardChanged() && !StackHasFile(); }

void ShowImportedCards(uint16_t firstCardId, const char* fileName, int count) {
    GoToCardId(firstCardId);
    if (count)
        ShowImportCount(fileName, count);
}

// A new stack untouched since it was made has nothing to ask about; any other is asked about
// (it is changed, or it would not be fresh), and read whole before it goes.
int OpenInsteadOfImport(const char* path) {
    const StackGateScope gate;
    if (!IsUntouchedNewStack() && !gate.MayReplaceStack())
        return kFileRefused;
    FileSpec stack = EmptyFileSpec();
    SetFileSpecPath(&stack, path);
    LeaveCard(false);
    const int err = LoadOtherStack(stack);
    if (err != kFileOk)
        RefreshCurrentCard(1);
    return err;
}

AuthoringUpcalls AuthoringUpcallsOfThePlugin() {
    AuthoringUpcalls u = DefaultAuthoringUpcalls();
    u.stackIsFresh = StackIsFresh;
    u.openInsteadOfImport = OpenInsteadOfImport;
    u.showImportedCards = ShowImportedCards;
    return u;
}

}  // namespace

void WireStack() {
    FormatUpcalls format = DefaultFormatUpcalls();
    format.reportResourceError = ShowErrorMessage;
    format.convertIconData = SwapCursorResourceData;
    SetFormatUpcalls(format);

    SetStackPlatformOps(StackPlatformOfTheSystem());
    SetStackUpcalls(StackUpcallsOfThePlugin());
    SetAuthoringUpcalls(AuthoringUpcallsOfThePlugin());

    // Every edit that marks the card changed checks the depth first.
    SetCardChangeCheck(CheckStackDepthAgainstDisplay);
}
