// Ending the card's placements, selections and edits in progress.
#include "host/player/EditsInProgress.h"

#include <windows.h>

#include "actions/ActionServices.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "objects/ObjectServices.h"
#include "objects/graphics/GraphicPlacing.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/graphics/GraphicMaking.h"

int FinishPendingPlacement() {
    HWND window = GetMainWindow();
    if (EndClipArtPlacing(window, true))
        return 1;
    if (IsPlacedGraphicShown()) {
        PlacedGraphicClick(window, kOffCardPlacement, kOffCardPlacement);
        return 1;
    }
    if (IsPlacedTextFieldShown()) {
        NewTextFieldMouseUp(window);
        return 1;
    }
    if (IsPlacedButtonShown()) {
        NewButtonMouseUp(window, kOffCardPlacement, kOffCardPlacement, false);
        CallMouseHook(WM_LBUTTONDOWN, window, kOffCardPlacement, kOffCardPlacement);
        return 1;
    }
    return 0;
}

int CancelPendingPlacement() {
    HWND window = GetMainWindow();
    if (EndClipArtPlacing(window, false))
        return 1;
    if (IsPlacedGraphicShown()) {
        CancelPlacedGraphic(window);
        return 1;
    }
    if (IsPlacingTextField()) {
        CancelPlacedTextField(window);
        return 1;
    }
    if (IsPlacedButtonShown()) {
        CancelPlacedButton(window);
        return 1;
    }
    return 0;
}

void DeselectAll() {
    HWND window = GetMainWindow();
    EndClipArtPlacing(window, true);  // kept, and the tool it returns to chosen
    EndPaintText();
    ClearActiveTextField();
    CancelPlacedButton(window);
    CommitMaskSelection(window);
    CommitPaintSelection(window);
    PlacedGraphicClick(window, kOffCardPlacement, kOffCardPlacement);
    DeselectObject(window);
    CancelPlacedTextField(window);
}
