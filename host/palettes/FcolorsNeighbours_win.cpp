// What the colour dialogs and the eyedropper ask of the layers above graphics,
// installed when the module loads.
#include "core/system/PluginModule.h"
#include "graphics/colors/ColorChooser.h"
#include "graphics/colors/ColorChooserNeighbours.h"
#include "graphics/colors/FcolorsLayout.h"
#include "host/window/CurrentTool.h"
#include "host/palettes/FcolorsWindow.h"
#include "objects/ObjectColors.h"
#include "paint/PaintTextRedraw.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/InfoDialogs.h"
#include "stack/depth/StackDepth.h"
#include "stack/undo/Undo.h"

namespace {

constexpr int kNewStackSizeMode = 99;


bool CurrentCardGrouped() {
    const Handle card = GetCurrentCardRecord();
    return card && HasBackgroundRecord(card);
}

void UngroupCurrentCard() {
    if (const Handle card = GetCurrentCardRecord())
        SwitchCardBackgroundMode(card);
}

void ApplyChosenTextColor(int16_t index) {
    ApplyTextColorIndex(index);
    SetSelectedObjectColor(index, 1);
    if (GetCurrentTool() == static_cast<uint32_t>(kTextTool))
        RedrawPaintText();
}

void InvalidateZoomed() {
    if (GetFatbitsZoom() != 1)
        InvalidateFatbits();
}

int AskNewStackSize(HWND window, int* width, int* height, int* depth) {
    return AskStackSizeAndColors(window, kNewStackSizeMode, width, height, depth);
}

const bool g_installed = [] {
    ColorChooserNeighbours n = GetColorChooserNeighbours();
    n.recordPaintUndo = RecordPaintUndo;
    n.cardIsGrouped = CurrentCardGrouped;
    n.ungroupCard = UngroupCurrentCard;
    n.applyTextColor = ApplyChosenTextColor;
    n.invalidateMagnified = InvalidateZoomed;
    n.askStackSizeAndColors = AskNewStackSize;
    n.replaceColorsInPicture = ReplaceColorsInPicture;
    n.stackColorDepth = GetStackDepth;
    n.frameColorValue = ToggleFcolorsFrame;
    n.redrawSwatch = RedrawFcolorsSwatch;
    SetColorChooserNeighbours(n);
    return true;
}();

}  // namespace
