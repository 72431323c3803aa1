// Object colours (see ObjectColors.h): the text colour of the active field or of a selected text
// object. The selected object's own colour waits for the object editors (MINIMAL).
#include "objects/ObjectColors.h"

#include "core/system/ChangeFlags.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectServices.h"
#include "objects/text/ActiveTextField.h"

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

void SetSelectedObjectColor(int16_t, int) {}
