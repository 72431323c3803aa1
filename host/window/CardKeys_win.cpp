// Keys on the card window: the Shift and Ctrl latches, the magnified view's hand, nudges,
// tool switches by Tab, committing with Enter, and typing.
#include "actions/ActionServices.h"
#include "core/events/EditorGuard.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "host/player/ButtonActions.h"
#include "host/player/EditsInProgress.h"
#include "host/state/CardHandlerState.h"
#include "host/window/CardMessageHandler.h"
#include "host/window/FieldTyping.h"
#include "host/window/WindowServices.h"
#include "logo/Logo.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/graphics/GraphicMaking.h"

namespace {

constexpr int kNormalViewCommand = 355;

bool Magnified() { return GetFatbitsZoom() != 1; }

void SwapInCursor(HCURSOR cursor, HCURSOR* kept) {
    *kept = SetCursor(cursor);
}

HCURSOR g_keptCursor = nullptr;

// Leaves the current tool for another, as a Tab does.
void SwitchTool(HWND window, int tool) {
    if (static_cast<int>(GetCurrentTool()) == kPaintTextTool)
        EndPaintText();
    DeselectObject(window);
    SelectToolNumber(static_cast<uint32_t>(tool));
}

bool TakenByLogo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsBrowseMode() && LogoCardEvent(window, static_cast<int>(GetCurrentTool()), message, wParam, lParam) != 0;
}

}  // namespace

HCURSOR KeptHandScrollCursor() { return g_keptCursor; }

void PostCursorUpdate(HWND window) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
}

LRESULT OnCardKeyDown(HWND window, WPARAM key, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    if (key == VK_SHIFT)
        s.shiftDown = true;
    if (key == VK_CONTROL)
        s.ctrlDown = true;
    if (Magnified()) {
        if (key == VK_CONTROL && static_cast<int>(GetCurrentTool()) != kLassoTool) {
            if (!s.handScrollMode)
                SwapInCursor(GetFlatHandCursor(), &g_keptCursor);
            s.handScrollMode = true;
        }
    } else {
        const bool otherWasSet = key == VK_SHIFT ? s.ctrlLatch : key == VK_CONTROL ? s.shiftLatch : false;
        if (key == VK_SHIFT)
            s.shiftLatch = true;
        if (key == VK_CONTROL)
            s.ctrlLatch = true;
        if ((key == VK_SHIFT || key == VK_CONTROL) && otherWasSet)
            SetShowAllButtonHilites(window, 1);
    }
    // Under an editor the keys it lets through move only its placing rectangle.
    if (EditorRuns()) {
        NudgeTrackedRect(key, s.shiftLatch);
        return 0;
    }
    const bool rect = RectSelectionKey(window, key, s.shiftLatch) != 0;
    const bool mask = !rect && NudgeMaskSelection(window, key, s.shiftLatch) != 0;
    if (rect || mask)
        return 0;
    if (Magnified()) {
        ScrollFatbitsByKey(key);
        return 0;
    }
    NudgeSelectedObject(window, key, s.shiftLatch);
    NudgeEditedButton(key, s.shiftLatch);
    NudgePlacedGraphic(key, s.shiftLatch);
    NudgePlacedTextField(key, s.shiftLatch);
    NudgeTrackedRect(key, s.shiftLatch);
    (void)lParam;
    return 0;
}

LRESULT OnCardKeyUp(HWND window, WPARAM key, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    if (TakenByLogo(window, WM_KEYUP, key, lParam))
        return 0;
    FinishRectKeyMove();
    const CardPoint p = LongToPoint(static_cast<uint32_t>(lParam));
    if (CallMouseHook(WM_KEYUP, window, p.x, p.y))
        return 0;
    FinishMaskKeyMove();
    EndObjectNudge();

    if (key == VK_TAB && s.shiftLatch && s.ctrlLatch && !Magnified()) {
        const int tool = static_cast<int>(GetCurrentTool());
        if (IsBrowseMode())
            SetCursorHideMode(0);
        SwitchTool(window, ChordTabTool(tool));
        PostCursorUpdate(window);
        return 0;
    }
    if (key == VK_ESCAPE && Magnified())
        SetFatbitsZoom(kNormalViewCommand);
    if (key == VK_SHIFT)
        s.shiftDown = false;
    if (key == VK_CONTROL)
        s.ctrlDown = false;
    if (Magnified()) {
        if (key == VK_CONTROL && static_cast<int>(GetCurrentTool()) != kLassoTool && !(GetKeyState(VK_LBUTTON) & 0x8000)) {
            if (s.handScrollMode)
                SetCursor(g_keptCursor);
            s.handScrollMode = false;
        }
    } else if (key == VK_SHIFT || key == VK_CONTROL) {
        const bool chord = s.shiftLatch && s.ctrlLatch;
        if (key == VK_SHIFT)
            s.shiftLatch = false;
        else
            s.ctrlLatch = false;
        if (chord)
            SetShowAllButtonHilites(window, 0);
    }
    return 0;
}

LRESULT OnCardChar(HWND window, WPARAM character, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    if (TakenByLogo(window, WM_CHAR, character, lParam))
        return 0;
    constexpr int kClearCommand = 154;
    if (character == VK_BACK) {
        if (GetSelectedObject()) {
            SelectedObjectEditCommand(window, kClearCommand);
            return 0;
        }
        if (IsRectSelectionActive()) {
            RectSelectionEditCommand(window, kClearCommand);
            return 0;
        }
        if (HasFloatingSelection()) {
            MaskSelectionEditCommand(window, kClearCommand);
            return 0;
        }
    }
    if (character == VK_TAB && s.shiftLatch && StackHeaderWord(kHeaderLocked) == 0 &&
        !GetTrackState(nullptr, nullptr, nullptr, nullptr)) {
        // A placement in progress is kept, and the key still goes on to the next tool.
        FinishPendingPlacement();
        const int tool = static_cast<int>(GetCurrentTool());
        if (IsBrowseMode()) {
            SetCursorHideMode(0);
            StopAnimatedCursor();
            SelectToolNumber(static_cast<uint32_t>(ShiftTabTool(tool)));
        } else {
            SwitchTool(window, ShiftTabTool(tool));
        }
        PostCursorUpdate(window);
        return 0;
    }
    if (character == VK_ESCAPE && CancelPendingPlacement())
        return 0;
    if (character == VK_RETURN) {
        if (EndClipArtPlacing(window, true))
            return 0;
        DeselectObject(window);
        CommitPaintSelection(window);
        // Return that ends a placement ends there: it is not also a press of the default button.
        const bool placed = NewButtonMouseDown(window, kOffCardCommit, kOffCardCommit) != 0;
        const bool graphicPlaced = PlacedGraphicClick(window, kOffCardCommit, kOffCardCommit) != 0;
        MaskToolMouseDown(window, kOffCardCommit, kOffCardCommit, 0);
        MaskToolMouseUp(window, 0);
        if (NewTextFieldMouseUp(window) || placed || graphicPlaced)
            return 0;
        if (CallMouseHook(WM_LBUTTONDOWN, window, kOffCardCommit, kOffCardCommit))
            return 0;
        if (uint16_t button = 0; FindDefaultButton(&button)) {
            DoButtonActions(GetMainWindow(), button, PersonsAct::Of(WM_CHAR, character));
            return 0;
        }
    }
    if (GetPaintTextActive())
        TypePaintTextChar(window, character);
    else
        TypeCharIntoActiveField(character);
    return 0;
}
