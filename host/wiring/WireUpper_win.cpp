// The interfaces of the objects, actions, media and paint layers, and the host's own hooks.
#include "host/wiring/LayerWiring.h"

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "actions/NbaModules.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/PixMap.h"
#include "host/actions/ActionsEditor.h"
#include "host/palettes/Favorites.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/PlayerUpcalls.h"
#include "host/requests/HostRequests.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/support/MediaWindows.h"

void WireUpper() {
    // The host: the palettes follow the current tool.
    SetToolChangeHook(ToolChanged);
    // The player: the navigation palette's card list follows each card entered.
    SetPlayerUpcalls({.cardEntered = FillCardList});
    // Actions: modules reach the host's request table through their block's callback.
    SetHostCallback(DispatchCallback);
    // Actions: the object editors below the host open the actions dialog of host/actions.
    SetActionsDialogRunner(RunActionsDialogCall);
    // Media: a movie window shows the current tool's cursor over its movie.
    SetMediaToolCursorHook(GetToolCursor);
    // Media: a saved movie action stores the manager's file reference; an animated object's
    // movie frames come from the manager's frame source.
    SetMovieReferenceProcs({UpdateMediaFileRef, NewStoredMovieReference});
    SetMovieFrameImageHook(
        [](MovieFrameSource* source, HDC dc, HBITMAP* bitmap) { return MovieFrameGetImage(source, dc, bitmap) == 1; });
}
