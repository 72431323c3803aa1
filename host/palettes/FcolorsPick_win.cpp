// Picked colours for the current tool.
#include "core/ui/ToolNumbers.h"
#include "cardview/colors/ColorChooserStored.h"
#include "cardview/colors/FcolorsLayout.h"
#include "graphics/palette/AppPalette.h"
#include "host/palettes/FcolorsWindow.h"
#include "objects/ObjectColors.h"
#include "paint/PaintTextRedraw.h"

namespace {

void StoreForTool(uint32_t tool, int16_t value) {
    if (tool == kPaintTextTool && value >= 0) {
        SetToolColor('t', value);
    } else if (tool == kEraserTool) {
        SetToolColor('e', value);
        // The erase dialogs fill with a colour only; a pattern leaves their colour as it was.
        if (value >= 0)
            SetStoredColorIndex(static_cast<uint16_t>(value));
    } else {
        SetToolColor('f', value);
    }
}

}  // namespace

void ApplyPickedColor(int16_t value) {
    const uint32_t tool = GetCurrentTool();
    StoreForTool(tool, value);
    if (value < 0)
        return;
    SetSelectedObjectColor(value, 0);
    if (tool == kPaintTextTool)
        RedrawPaintText();
    ApplyTextColorIndex(GetToolColor('t'));
}

void SetToolColorByNumber(int number) {
    const auto value = ColorMenuNumberToValue(number);
    if (!value)
        return;
    const uint32_t tool = GetCurrentTool();
    ToggleFcolorsFrame(GetToolColor(ToolColorLetter(static_cast<int>(tool))));
    StoreForTool(tool, *value);
    ToggleFcolorsFrame(GetToolColor(ToolColorLetter(static_cast<int>(tool))));
    RedrawFcolorsSwatch(ToolColorLetter(static_cast<int>(tool)));
}
