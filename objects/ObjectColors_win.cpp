// Object colours (see ObjectColors.h): the text colour of the active field or of a selected text
// object, and the selected object's own colour.
#include "objects/ObjectColors.h"

#include "core/system/ChangeFlags.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectServices.h"
#include "objects/text/ApplyTextStyle_win.h"
#include "objects/text/ActiveTextField.h"
#include "core/system/PluginModule.h"
#include "format/StackFile.h"

bool ApplyTextColorIndex(int16_t index) {
    LayerHandle layer = GetActiveTextField();
    TextScope scope = TextScope::Selection;
    if (!layer) {
        layer = GetSelectedObject();
        scope = TextScope::All;
    }
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field || field->common.kind != kObjectText || !IsWindow(field->window))
            return false;
        window = field->window;
    }
    TextSetColor(window, PaletteIndexToColor(index), scope);
    MarkFieldModified(layer);
    MarkCardChanged();
    return true;
}

void SetSelectedObjectColor(int16_t index, int mode) {
    const LayerHandle layer = GetSelectedObject();
    LayerLock<> common(layer);
    if (!common)
        return;
    MarkCardChanged();
    const uint16_t kind = common->kind, id = common->id;
    const RECT bounds = common->bounds;
    const uint16_t stored = static_cast<uint16_t>(index + 1);
    if (kind == kObjectGraphic && mode == 0) {
        reinterpret_cast<GraphicLayer*>(common.get())->colorIndex = static_cast<uint16_t>(index);
        SetObjectRecordWord(kObjectGraphic, id, kGraphicColor, stored);
    } else if (kind == kObjectButton && mode == 0) {
        reinterpret_cast<ButtonLayer*>(common.get())->colorIndex = static_cast<uint16_t>(index);
        SetObjectRecordWord(kObjectButton, id, kButtonNameColor, stored);
    } else if (kind == kObjectText) {
        auto* field = reinterpret_cast<FieldLayer*>(common.get());
        field->textColor = static_cast<uint16_t>(index);
        field->modified = 1;
        if (IsWindow(field->window))
            TextSetColor(field->window, PaletteIndexToColor(index), TextScope::All);
    }
    RECT frame = bounds;
    InflateRect(&frame, 2, 2);
    if (const HWND window = GetCardWindow())
        InvalidateRect(window, &frame, FALSE);
}
