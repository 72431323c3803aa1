// The release chain. Every release is safe on what was never made: a failed start-up runs the
// same chain.
#include <windows.h>

#include <array>

#include "actions/ActionServices.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/AlertsOnce.h"
#include "core/ui/CursorCache.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/pixels/CardOffscreen.h"
#include "core/system/LoadedLibraries.h"
#include "host/browser/WindowAttach.h"
#include "host/palettes/Favorites.h"
#include "host/dialogs/Printing.h"
#include "host/launching/LaunchPrograms.h"
#include "host/menus/Shortcuts.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/palettes/ToolPalette.h"
#include "host/window/WindowServices.h"
#include "logo/Logo.h"
#include "host/medialibrary/MediaBrowser.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "objects/ObjectServices.h"
#include "objects/text/FindText.h"
#include "objects/text/TextFields.h"
#include "paint/PaintTools.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "authoring/buttons/Buttons.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/undo/Undo.h"

namespace {

// Shows or hides until the display count is 0.
void ResetCursorCount() {
    int count = ShowCursor(TRUE);
    for (int guard = 0; count < 0 && guard < 1000; ++guard)
        count = ShowCursor(TRUE);
    for (int guard = 0; count > 0 && guard < 1000; ++guard)
        count = ShowCursor(FALSE);
}

// The open stack's resources, then its records and header; the moves held for it (under a
// dialog the page closed) go with it.
void CloseStack() {
    DropHeldWork();
    CloseStackResources(GetMainWindow());
    DisposeCards();
    ClearClipboardFromThisStack();
    CloseAllResFiles();
    SetStackHeaderHandle(0);
    SetCurrentCardId(0);
}

void CloseVideodisc() {
    CloseVideodiscPlayer();
    ClearVideodiscState();
}

void UnloadVfw() { TakeAvailabilityMask(UnloadVideoForWindows(GetAvailabilityMask())); }

void FreeOffscreen() {
    DeleteCardClipRegion();
    FreeOffscreenObjects();
}

void OpenVideodisc() { OpenVideodiscPlayer(); }

struct Release {
    const char* name;
    void (*run)();
};
constexpr std::array kReleases = {
    Release{"ResetCursorCount", ResetCursorCount},
    // The palettes first, favourites saved before anything they read goes.
    Release{"CloseFavorites", CloseFavorites},
    Release{"CloseShortcutsPalette", CloseShortcutsPalette},
    Release{"FreeHandCursors", FreeHandCursors},
    Release{"OpenVideodiscPlayer", OpenVideodisc},
    Release{"CloseStackResources", CloseStack},
    Release{"FreeLayerList", FreeLayerList},
    // The field windows went with the layers; the class's procedure lives in this module.
    Release{"UnregisterTextFieldClass", UnregisterTextFieldClass},
    Release{"CloseMediaLib", CloseMediaLib},
    Release{"FreeTimerTable", FreeTimerTable},
    Release{"FreePrintRecord", FreePrintContext},
    Release{"FreeFindState", FreeFindState},
    Release{"FreeTextStyleResources", FreeTextStyleResources},
    Release{"FreeButtonEditCopy", FreeButtonEditCopy},
    Release{"FreeLoadedLibraries", FreeLoadedLibraries},
    // The internal clipboard goes with the undo record (its data would outlive the plug-in).
    Release{"FreeUndoRecord", [] { FreeUndoRecord(); ClearInternalClipboard(); }},
    Release{"FreeAlertSuppressionList", FreeAlertSuppressionList},
    Release{"FreeLaunchDialogData", FreeLaunchDialogData},
    Release{"ReleaseAnimPlayback", ReleaseAnimPlayback},
    Release{"MediaManagerDestroy", DestroyMediaManagerAndEffectState},
    Release{"FreeAnimOffscreen", FreeAnimOffscreen},
    Release{"UnloadVideoForWindows", UnloadVfw},
    Release{"CloseCaptureWindow", CloseCaptureWindow},
    Release{"CloseVideodiscPlayer", CloseVideodisc},
    Release{"ShutdownLogo", ShutdownLogo},
    Release{"ShutdownMaskSelection", ShutdownMaskSelection},
    Release{"FreeGraphicEditBitmaps", FreeGraphicEditBitmaps},
    Release{"FreeToolResources", FreeToolResources},
    Release{"FreeCursorCache", FreeCursorCache},
    Release{"FreeBrushCursors", FreeBrushCursors},
    Release{"DestroyFcolorsWindow", DestroyFcolorsWindow},
    Release{"FreePaletteObjects", [] { FreeFillPatterns(); FreePaletteObjects(); }},
    Release{"FreePaintTextBuffer", FreePaintTextBuffer},
    Release{"FreeOffscreenObjects", FreeOffscreen},
    Release{"CoUninitialize", EndOwnComInitialization},
    Release{"FreeFolderTable", FreeFolderTable},
};

}  // namespace

void AppShutdown() {
    for (const Release& release : kReleases) {
        TraceAttachStep(release.name);
        release.run();
    }
    FreeSpareButtonRecord();
    FreeInfoDialogData();
}
