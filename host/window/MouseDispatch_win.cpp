// Mouse-move, button-up and mouse-up on the card: the hook and the trackers of the editing
// tools in their fixed order; the first that takes the message ends its step.
#include "actions/ActionServices.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "cardview/colors/Eyedropper.h"
#include "layers/LayerList.h"
#include "host/actions/ActionsEditor.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardNavigation.h"
#include "host/player/TextLinkFollow.h"
#include "host/state/CardHandlerState.h"
#include "host/state/MenuOptions.h"
#include "host/window/CardMessageHandler.h"
#include "host/window/WindowServices.h"
#include "media/MediaLibrary.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "authoring/cards/MediaLibDrop.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"

#include <string>

HCURSOR KeptHandScrollCursor();  // CardKeys_win.cpp

namespace {

constexpr int kLinkStateNone = 0;

void SetClassCursor(HWND window, HCURSOR cursor) {
    SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

// The drag trackers, in order.
bool TrackDragMove(HWND window, POINT point, POINT raw) {
    return RectToolTrack(window, point.x, point.y, raw.x, raw.y) || NewButtonMouseMove(window, point.x, point.y) ||
           MaskToolTrack(window, point.x, point.y) || SelectObjectMouseMove(window, point.x, point.y) ||
           PlacedGraphicMouseMove(window, point.x, point.y) || NewTextFieldMouseMove(window, point.x, point.y) ||
           CallMouseHook(WM_MOUSEMOVE, window, point.x, point.y);
}

// The hover trackers, in order.
bool TrackHoverMove(HWND window, POINT point) {
    return TrackButtonsAt(window, point.x, point.y) || ToolMouseMove(window, point.x, point.y) ||
           TrackEyedropperDrag(window, point.x, point.y);
}

// An object tool over the card: the handle cursor of the object under the mouse, the card's
// cursor over a masked object's shape, the arrow elsewhere. False for the other tools.
bool ObjectToolHover(HWND window, POINT point) {
    const int tool = static_cast<int>(GetCurrentTool());
    const bool objectTool = (tool >= kButtonTool && tool <= kSoundButtonTool);
    // Not while a button's actions are edited, a graphic is placed or a graphic object's picture
    // floats as a paint selection: those own the cursor.
    if (!objectTool || !ObjectsShown() || IsPlacedGraphicShown() || IsEditingButton() ||
        (HasFloatingSelection() && IsGraphicSelection()))
        return false;
    bool onMask = false;
    RECT rect{};
    HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
    if (HitTestObjectAtPoint(window, point.x, point.y, &onMask, &rect)) {
        if (onMask) {
            if (HCURSOR own = CurrentCardCursor())
                cursor = own;
        } else if (SetHandleCursor(rect, point.x, point.y)) {
            cursor = GetCursor();
        }
    }
    SetClassCursor(window, cursor);
    SetCursor(cursor);
    return true;
}

// A press released inside its button: the button performs its actions, as the person's click.
bool ReleaseButtonPress(HWND window) {
    uint16_t released = 0;
    if (!EndButtonPress(window, &released))
        return false;
    DoButtonActions(GetMainWindow(), released, PersonsAct::Of(WM_LBUTTONUP));
    return true;
}

// What the rectangle selection, new button and mask tool do with a button-up; then the placed
// graphic, the new text field and (with the object selection) the given last step.
void ToolButtonUp(HWND window, POINT point, WPARAM keyState) {
    RectToolMouseUp(window, point.x, point.y);
    NewButtonMouseUp(window, point.x, point.y, (keyState & MK_CONTROL) != 0);
    MaskToolMouseUp(window, keyState);
}

// The browse drag of a graphic ended: a drop-off-only button under it performs its actions as
// a click does, else the graphic's own under its name.
bool RunGraphicDrop(HWND window, POINT point) {
    const GraphicDrop drop = DropGraphicInBrowse(window, point.x, point.y);
    if (!drop.taken)
        return false;
    const ActionOrigin dropped = PersonsAct::Of(WM_LBUTTONUP);
    if (drop.buttonId) {
        DoButtonActions(GetMainWindow(), drop.buttonId, dropped);
    } else if (drop.actionId) {
        const uint8_t* name = ClickedGraphicName();
        const std::string label(reinterpret_cast<const char*>(name + 1), name[0]);
        PerformActionResource(drop.actionId, dropped, 0, label.c_str());
    }
    return true;
}

// The object tools' release; an object dragged off the card is written to an object file (and
// into the media library when dropped on its list).
bool EndObjectDrag(HWND window, LPARAM lParam) {
    const POINT at = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    if (!SelectObjectMouseUp(window, lParam, IsPointOverMediaLib(window, at)))
        return false;
    LayerHandle out = nullptr;
    POINT point{};
    if (TakeObjectDragOut(&out, &point))
        DropObjectToMediaLib(out, point);
    return true;
}

}  // namespace

bool TrackButtonsAt(HWND window, int x, int y) {
    const ButtonMouse buttons = TrackButtonMouse(window, x, y);
    // The mouse passing over is no act of the person's: the rollover's chain is an event.
    if (buttons.rolledOnto)
        DoButtonActions(GetMainWindow(), buttons.buttonId, kByEvent);
    return buttons.used;
}

LRESULT DispatchCardMouseMove(HWND window, WPARAM keyState, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    if (keyState & (MK_RBUTTON | MK_MBUTTON))
        return DefaultChildProcessing(window, WM_MOUSEMOVE, keyState, lParam);
    if (s.handScrollMode) {
        const POINT p = CardPointFromLParam(window, lParam, false);
        ShowCursor(FALSE);
        FatbitsPanMove(p.x, p.y);
        ShowCursor(TRUE);
        SetClassCursor(window, (keyState & MK_LBUTTON) ? GetGrabHandCursor() : GetFlatHandCursor());
        return 1;
    }
    POINT raw = {};
    const POINT point = CardPointFromLParam(window, lParam, true, &raw);
    if (s.cardClickConsumed)
        return 1;
    if (DragGraphicInBrowse(window, point.x, point.y) || TrackDragMove(window, point, raw))
        return 1;
    TrackHoverMove(window, point);
    if (ObjectToolHover(window, point))
        return 1;
    HCURSOR cursor = SetBrowseCursorAt(point.x, point.y);
    if (!cursor)
        cursor = GetToolCursor();
    // The class cursor serves the next set-cursor message, which came before this move: the
    // cursor of what now lies under the mouse is shown at once.
    SetClassCursor(window, cursor);
    if (cursor)
        SetCursor(cursor);
    return 1;
}

LRESULT DispatchCardButtonUp(HWND window, WPARAM keyState, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    if (s.handScrollMode) {
        EndFatbitsPan();
        if (!(GetKeyState(VK_CONTROL) & 0x8000)) {
            s.handScrollMode = false;
            SetCursor(KeptHandScrollCursor());
        }
        POINT screen = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
        ClientToScreen(window, &screen);
        if (WindowFromPoint(screen) == window)
            PostMessageA(window, WM_MOUSEMOVE, keyState, lParam);
        return DefaultChildProcessing(window, WM_LBUTTONUP, keyState, lParam);
    }
    const POINT point = CardPointFromLParam(window, lParam, true);
    const bool taken = FollowTextLink(point.x, point.y, (keyState & MK_CONTROL) != 0, kLinkStateNone,
                                                  PersonsAct::Of(WM_LBUTTONUP)) ||
                       RunGraphicDrop(window, point) ||
                       (!s.cardClickConsumed && ReleaseButtonPress(window));
    if (!taken) {
        CallMouseHook(WM_LBUTTONUP, window, point.x, point.y);
        if (!ToolMouseUp(window)) {
            ToolButtonUp(window, point, keyState);
            if (!PlacedGraphicMouseUp())
                NewTextFieldMouseUp(window);
            if (!EndObjectDrag(window, lParam))
                EndEyedropperDrag(window);
        }
    }
    return DefaultChildProcessing(window, WM_LBUTTONUP, keyState, lParam);
}

void DispatchCardMouseUp(HWND window, WPARAM keyState, LPARAM lParam, UINT message) {
    const CardHandlerState& s = HandlerState();
    if (s.handScrollMode)
        return;
    const POINT point = CardPointFromLParam(window, lParam, false);
    const int tool = static_cast<int>(GetCurrentTool());
    if ((tool >= kButtonTool && tool <= kSoundButtonTool) || (tool == kTextFieldTool && ObjectsShown()))
        SelectObjectMouseDown(window, point.x, point.y, keyState);
    CallMouseHook(message, window, point.x, point.y);
    if (ToolMouseUp(window))
        return;
    ToolButtonUp(window, point, keyState);
    if (!PlacedGraphicMouseUp()) {
        NewTextFieldMouseUp(window);
        EndObjectDrag(window, lParam);
    }
}
