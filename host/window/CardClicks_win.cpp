// The left button on the card: by tool, the browse click and the double click.
#include "actions/ActionServices.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/colors/Eyedropper.h"
#include "layers/LayerList.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/CardNavigation.h"
#include "host/player/EditsInProgress.h"
#include "host/state/CardHandlerState.h"
#include "host/state/MenuOptions.h"
#include "host/window/CardMessageHandler.h"
#include "logo/Logo.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/graphics/GraphicCommands.h"
#include "authoring/graphics/GraphicMaking.h"

#include <string>

namespace {

constexpr uint32_t kFieldClickHitCode = 0x2010001;

bool IsPaintTool(int tool) { return (tool >= kRectangleTool && tool <= kEraserTool && tool != kPaintTextTool) || tool == kSprayTool; }

// The click goes to the field's own text window, in that window's coordinates.
void PassClickToField(HWND window, LayerHandle layer, WPARAM keyState, LPARAM lParam) {
    HWND field = nullptr;
    {
        LayerLock<FieldLayer> lock(layer);
        if (lock)
            field = lock->window;
    }
    if (!field || !IsWindow(field))
        return;
    POINT p = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    MapWindowPoints(window, field, &p, 1);
    SendMessageA(field, WM_SETCURSOR, reinterpret_cast<WPARAM>(GetFrameWindow()), kFieldClickHitCode);
    SendMessageA(field, WM_LBUTTONDOWN, keyState, MAKELPARAM(p.x, p.y));
}

uint16_t LayerKind(LayerHandle layer) {
    LayerLock<> lock(layer);
    return lock ? lock->kind : 0;
}

void RunStackClickAction() {
    if (const uint16_t id = StackHeaderWord(kHeaderStackActionB))
        RunCardAction(id, PersonsAct::Of(WM_LBUTTONDOWN), 0, kStringStackClickLabel);
}

LRESULT BrowseClick(HWND window, WPARAM keyState, LPARAM lParam, POINT point) {
    CardHandlerState& s = HandlerState();
    if (LogoCardEvent(window, kBrowseTool, WM_LBUTTONDOWN, keyState, lParam))
        return 0;
    bool handled = false;
    const LayerHandle hit = HitTestLayers(point.x, point.y, false, nullptr);
    if (hit && ObjectsShown()) {
        switch (LayerKind(hit)) {
        case kObjectButton:
            BeginButtonPress(window, hit);
            handled = true;
            break;
        case kObjectGraphic: {
            handled = BrowseGraphicMouseDown(window, hit, point.x, point.y) != 0;
            if (!handled) {
                // The graphic's own action resource: the id its record gives the layer.
                uint16_t actionId = 0;
                {
                    LayerLock<GraphicLayer> lock(hit);
                    if (lock)
                        actionId = lock->objectWord;
                }
                const uint8_t* name = ClickedGraphicName();
                const std::string label(reinterpret_cast<const char*>(name + 1), name[0]);
                handled = PerformActionResource(actionId, PersonsAct::Of(WM_LBUTTONDOWN), 0, label.c_str()) != 0;
            }
            break;
        }
        case kObjectText:
            PassClickToField(window, hit, keyState, lParam);
            handled = true;
            break;
        default:
            break;
        }
    }
    const BrowseClickPlan plan = PlanBrowseClick(hit != nullptr, handled, CurrentCardWord(kCardAction3),
                                                 StackHeaderWord(kHeaderStackActionB));
    if (plan.runCardAction)
        s.cardClickConsumed = RunCardClickAction() != 0;
    if (plan.runStackAction)
        RunStackClickAction();
    return 0;
}

}  // namespace

LRESULT OnCardLeftButtonDown(HWND window, WPARAM keyState, LPARAM lParam) {
    CardHandlerState& s = HandlerState();
    SetFocus(window);
    if (TakePaletteClickFlag())
        return 0;
    s.cardClickConsumed = false;
    if (GetFatbitsZoom() != 1) {
        const bool ctrl = (keyState & MK_CONTROL) != 0;
        if (ctrl)
            s.handScrollMode = static_cast<int>(GetCurrentTool()) != kLassoTool;
        if (s.handScrollMode) {
            const POINT p = CardPointFromLParam(window, lParam, false);
            FatbitsPanMove(p.x, p.y);
        }
        PostMessageA(window, WM_MOUSEMOVE, keyState, lParam);
        if (s.handScrollMode)
            return 0;
    }
    POINT raw = {};
    const POINT point = CardPointFromLParam(window, lParam, true, &raw);
    if (CallMouseHook(WM_LBUTTONDOWN, window, point.x, point.y) || NewButtonMouseDown(window, point.x, point.y) ||
        PlacedGraphicClick(window, point.x, point.y) || NewTextFieldMouseDown(window, point.x, point.y))
        return 0;
    const int tool = static_cast<int>(GetCurrentTool());
    s.lastToolPressed = tool;
    if (tool < kRectangleTool || tool > kLastTool)
        return 0;
    if (IsPaintTool(tool)) {
        ToolMouseDown(window, point.x, point.y, keyState);
    } else if (tool == kPaintTextTool) {
        const LayerHandle hit = HitTestLayers(point.x, point.y, false, nullptr);
        if (hit && ObjectsShown() && LayerKind(hit) == kObjectText) {
            EndPaintText();
            SelectToolNumber(kBrowseTool);
            PassClickToField(window, hit, keyState, lParam);
        } else {
            BeginPaintText(window, point.x, point.y);
        }
    } else if (tool == kLassoTool || tool == kOvalSelectTool) {
        // A press off a graphic-object selection makes the object; others go to the tool.
        if (!DropGraphicSelectionAt(window, point.x, point.y))
            MaskToolMouseDown(window, point.x, point.y, keyState);
    } else if (tool == kRectSelectTool) {
        RectToolMouseDown(window, point.x, point.y, raw.x, raw.y, keyState);
    } else if (tool == kMagnifierTool) {
        CycleFatbitsZoom(point.x, point.y);
    } else if (tool == kEyedropperTool) {
        BeginEyedropperDrag(window, point.x, point.y);
    } else if (tool == kBrowseTool) {
        return BrowseClick(window, keyState, lParam, point);
    } else if (ObjectsShown()) {
        SelectObjectMouseDown(window, point.x, point.y, keyState);
    }
    return 0;
}

LRESULT OnCardDoubleClick(HWND window, WPARAM keyState, LPARAM lParam) {
    if (!IsBrowseMode()) {
        const POINT point = CardPointFromLParam(window, lParam, true);
        if (ObjectsShown())
            EditObjectAtPoint(window, point.x, point.y, (keyState & MK_CONTROL) != 0);
        return 0;
    }
    if (LogoCardEvent(window, kBrowseTool, WM_LBUTTONDBLCLK, keyState, lParam))
        return 0;
    const POINT point = CardPointFromLParam(window, lParam, true);
    const LayerHandle hit = HitTestLayers(point.x, point.y, false, nullptr);
    if (hit && ObjectsShown() && LayerKind(hit) == kObjectButton)
        SendMessageA(window, WM_LBUTTONDOWN, keyState, lParam);
    return 0;
}

int RunCardClickAction() {
    const uint16_t id = CurrentCardWord(kCardAction3);
    if (!id)
        return 0;
    RunCardAction(id, PersonsAct::Of(WM_LBUTTONDOWN), 0, kStringCardClickLabel);
    return 1;
}
