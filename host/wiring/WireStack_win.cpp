// The stack layers' upcalls filled, each interface whole: the stack format's
// (stack/format/FormatUpcalls.h), the stack's (stack/StackUpcalls.h) and card import's and
// saved objects' (stack/edit/EditUpcalls.h). What a slot's owner has not built yet keeps its
// default.
#include "host/wiring/LayerWiring.h"

#include <windows.h>

#include "actions/NbaMenu.h"
#include "actions/NbaModules.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorImages.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/WaitCursor.h"
#include "graphics/card/CardRender.h"
#include "graphics/colors/ColorChooser.h"
#include "graphics/layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/OffscreenDib.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackOpening.h"
#include "host/state/Preferences.h"
#include "logo/Logo.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "objects/text/FieldContents_win.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "stack/depth/StackDepth.h"
#include "stack/depth/StackDepthChange.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "stack/edit/EditUpcalls.h"
#include "stack/edit/ReadyMadeMenu.h"
#include "stack/edit/UndoServices.h"
#include "stack/format/FormatUpcalls.h"
#include "stack/open/NewStack.h"
#include "stack/open/StackOpen.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/GraphicPictureConvert.h"
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

void StackRenamed(const char* name) {
    SetStackName(name);
    RememberHomeStack();
}

// The stack's preview takes the current card rendered off screen.
DibHandle RenderCurrentCard() {
    DibHandle dib = 0;
    RenderCardToDib(GetCurrentCardRecord(), &dib);
    return dib;
}

StackUpcalls StackUpcallsOfThePlugin() {
    StackUpcalls u = DefaultStackUpcalls();
    u.showAlert = [](uint32_t id) { return ShowAlert(id); };
    u.showErrorMessage = ShowErrorMessage;
    u.beginWait = BeginWaitCursor;
    u.endWait = EndWaitCursor;
    u.cardWindow = []() -> void* { return GetCardWindow(); };
    u.freeSpace = [](const char* path, uint32_t* bytes) { return CheckDriveSpace(path, bytes) == kFileOk; };
    u.readPreference = [](const char* section, const char* key, char* buffer, int size) {
        ReadPrefString(section, key, buffer, size);
    };
    u.writePreference = [](const char* section, const char* key, const char* value) {
        WritePrefString(section, key, value);
    };
    // readSavePreference: saving is not given the preferences file yet.
    u.deleteGdiObject = [](uint32_t object) { DeleteObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(object))); };
    u.clearSystemClipboard = EmptySystemClipboard;
    u.setClipboardMarker = MarkSystemClipboard;

    u.offscreenPicture = OffscreenPictureForStack;
    u.offscreenSnapshot = OffscreenToDib;
    u.restoreSnapshot = RestoreOffscreenSnapshot;
    u.appPaletteColors = AppPaletteColors;
    u.displayBitsPerPixel = GetDisplayBitsPerPixel;
    u.convertCardPicture = ConvertCardPicture;
    u.convertCardGraphicsDepth = ConvertCardGraphicsDepth;
    u.remapGraphicPicture = [](Handle card, uint32_t offset, void* palette) {
        RemapGraphicPicture(card, offset, static_cast<HPALETTE>(palette));  // a graphic that fails keeps its picture
    };
    u.renderCardToDib = RenderCurrentCard;

    u.goToCardId = GoToCardId;
    u.refreshCurrentCard = RefreshCurrentCard;
    u.eraseCardBackground = EraseCardBackground;
    u.runCardAction = RunCardAction;

    u.stackEvent = OnStackEvent;
    u.changeStackSize = [](Handle oldHeader, Handle newHeader) {
        return ChangeStackSizeAndDepth(GetCardWindow(), oldHeader, newHeader);
    };
    u.askCardSizeForNewStack = [](int* width, int* height, int* depth) {
        return AskCardSizeForNewStack(GetMainWindow(), width, height, depth);
    };
    u.resizeCardArea = ResizeOffscreenForStack;
    u.stackRenamed = StackRenamed;

    // The stack keeps the LoomLogo workspace as resource 'WKSp': it is handed over when a stack
    // opens and asked for when one is saved.
    u.produceWorkspace = SaveLogoWorkspace;
    u.loadWorkspace = [](Handle text, void* window) { LoadLogoWorkspace(window, text); };

    u.rebuildLayers = RebuildCurrentCardLayers;
    u.syncCardFromLayers = SyncCardFromLayers;
    u.deselectObject = [] { DeselectObject(GetCardWindow()); };
    return u;
}

// ---- card import and saved objects ----

bool StackIsFresh() { return !IsCardChanged() && !StackHasFile(); }

int OpenInsteadOfImport() {
    LeaveCard(false);
    return LoadStack();
}

EditUpcalls EditUpcallsOfThePlugin() {
    EditUpcalls u = DefaultEditUpcalls();
    u.stackIsFresh = StackIsFresh;
    u.openInsteadOfImport = OpenInsteadOfImport;
    u.showImportCount = ShowImportCount;
    // The media library is not given to saved objects yet: never under a drop.
    return u;
}

}  // namespace

void WireStack() {
    FormatUpcalls format = DefaultFormatUpcalls();
    format.reportResourceError = ShowErrorMessage;
    format.convertIconData = SwapCursorResourceData;
    SetFormatUpcalls(format);

    SetStackUpcalls(StackUpcallsOfThePlugin());
    SetEditUpcalls(EditUpcallsOfThePlugin());

    // Every edit that marks the card changed checks the depth first.
    SetCardChangeCheck(CheckStackDepthAgainstDisplay);
}
