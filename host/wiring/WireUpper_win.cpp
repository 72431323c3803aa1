// The interfaces of the objects, actions, media and paint layers, and the host's own hooks.
#include "host/wiring/LayerWiring.h"

#include "actions/ActionBlock.h"
#include "actions/ActionNeighbours.h"
#include "graphics/pixels/PixMap.h"
#include "graphics/transitions/CardTransitions.h"
#include "graphics/transitions/QtEffectState.h"
#include "host/browser/DownloadStreams.h"
#include "host/dialogs/LaunchPrograms.h"
#include "host/menus/MenuOptions.h"
#include "host/navigation/CardNavigation.h"
#include "host/palettes/ToolPalette.h"
#include "host/window/CurrentTool.h"
#include "logo/Logo.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/VideodiscActions.h"
#include "media/support/MediaWindows.h"
#include "stack/format/StackFile.h"
#include "stack/open/StackOpenSession.h"

namespace {

// The performer of actions: the download queue keeps a button's request so that an action
// waiting for a file can run again; sounds, movies and videodiscs through the media facade;
// scripts through LoomLogo; moves through the card navigation.
ActionNeighbours ActionNeighboursOfThePlugin() {
    ActionNeighbours n = {};
    n.buttonStarting = SetPendingButtonRequest;
    n.playSound = [](int fromFile, int16_t id, uint32_t flags, int volume) {
        if (fromFile)
            PlaySoundFromFile(flags, volume);
        else
            PlaySoundResource(id, flags, volume);
    };
    n.openMovie = [](std::span<const uint8_t> chunk, int16_t objectId) {
        return MediaOpenMovie(chunk, objectId, nullptr, 1);
    };
    n.idleMovieDone = [](int16_t objectId) {
        MediaIdleControllers();
        return MediaIsMovieDone(objectId);
    };
    n.removeFinishedMedia = [] { MediaRemoveFinished(0, 0); };
    n.videodiscAction = DoVideodiscAction;
    n.settleVideodisc = [] { OpenVideodiscPlayer(); };
    n.runLogo = RunLogoAction;
    n.openUrl = OpenUrlString;
    n.launchProgram = LaunchApplication;
    // The plug-in has no frame window: the bar is the stack's flag alone.
    n.toggleStackMenuBar = [](bool always) {
        if (!always && GetFrameMenu())
            return false;
        ToggleStackMenuBar(GetHandleWord(GetStackHeaderHandle(), kHeaderLocked));
        return true;
    };
    n.leaveCard = LeaveCard;
    n.moveToDestination = MoveToActionDestination;
    n.transitionLook = [](COLORREF color, POINT centre) {
        SetTransitionColor(color);
        SetZoomCentre(centre);
    };
    n.freeEffectState = QTFreeEffectState;
    return n;
}

}  // namespace

void WireUpper() {
    SetActionNeighbours(ActionNeighboursOfThePlugin());

    // The host: the palettes follow the current tool.
    SetToolChangeHook(ToolChanged);
    // Media: a movie window shows the current tool's cursor over its movie.
    SetMediaToolCursorHook(GetToolCursor);
    // Media: a saved movie action stores the manager's file reference; an animated object's
    // movie frames come from the manager's frame source.
    SetMovieReferenceProcs({UpdateMediaFileRef, NewStoredMovieReference});
    SetMovieFrameImageHook(
        [](MovieFrameSource* source, HDC dc, HBITMAP* bitmap) { return MovieFrameGetImage(source, dc, bitmap) == 1; });
}
