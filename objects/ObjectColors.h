// Colours picked in the colour palette and dialogs, given to the objects: the active text
// field's selection and the selected object.
#pragma once

#include <cstdint>

// The text colour of the active field's selection, or of the whole selected text object; the
// field and the card are marked changed. False when neither is there.
bool ApplyTextColorIndex(int16_t index);
// The selected object's colour (graphic frame, button colour or text colour by its kind); mode 0
// from the floating palette, 1 from the text colour dialog.
void SetSelectedObjectColor(int16_t index, int mode);
