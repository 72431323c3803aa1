// The core layer's interfaces: the system's file layer, clock, timer host, dialogs, alerts and
// wait cursor, and what core asks of the layers above it; the QuickTime binding's system
// library calls.
#include "host/wiring/LayerWiring.h"

#include "actions/Animations.h"
#include "core/CoreUpcalls.h"
#include "core/events/OneShotTimers.h"
#include "core/files/FileDialogHooks.h"
#include "core/files/FileLayer.h"
#include "core/files/OpenFileDialog.h"
#include "core/memory/HandlesGlobal.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/UiOps.h"
#include "core/ui/WaitCursor.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/DownloadReplay.h"
#include "media/MediaManager.h"
#include "media/MediaPreview.h"
#include "media/animation/AnimPlayback.h"
#include "objects/ObjectServices.h"
#include "objects/buttons/ButtonIcons.h"
#include "quicktime/QuickTime.h"

namespace {

void StepFrameAnimations() { RunFrameAnimQueue(GetMainWindow(), GetCardClipRegion()); }

void StepAnimationsAndMedia() {
    StepAnimations();
    MediaIdleControllers();
}

void* TrackedWindow() {
    HWND window = nullptr;
    GetTrackState(nullptr, nullptr, nullptr, &window);
    return window;
}

}  // namespace

void WireCore() {
    SetFileSystem(SystemFileSystem());
    SetMillisecondClock(SystemMilliseconds);
    SetMemRefsFailureHook(ShowMemRefsFailure);
    SetTimerListHost(SystemTimerListHost());
    SetLocateFileDialog(AskForFile);
    SetRemoteFileRequester(RequestRemoteFile);
    SetFilePreviewHandlers({MediaShowFilePreview, MediaClosePreview});
    SetCursorDataSource(StackCursorData);
    SetQtLibraryOps(SystemQtLibraryOps());
    SetUiOps({[](uint32_t id) { return ShowAlert(id); },
              [](uint32_t id, const char* name) { return ShowAlertNaming(nullptr, id, name ? name : ""); },
              ShowErrorMessage, [](bool on) { on ? BeginWaitCursor() : EndWaitCursor(); }});

    CoreUpcalls core = {};
    core.stepFrameAnimations = StepFrameAnimations;
    core.stepAnimationsAndMedia = StepAnimationsAndMedia;
    core.trackedWindow = TrackedWindow;
    SetCoreUpcalls(core);
}
