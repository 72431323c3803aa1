// The current text style applied to what is selected: a text field's selection, a whole selected
// text object, a selected button's name, or the paint text being typed (which the caller redraws).
#pragma once

#include <windows.h>

#include <cstdint>

enum class StyleTarget {
    NotApplied,  // the current face is not installed
    PaintText,   // paint text is being typed: the caller redraws it and marks the stack changed
    Button,
    Field,
    Nothing,     // no object took it: the caller redraws the paint text
};

StyleTarget ApplyCurrentStyle(bool paintTextTyping);
// To the active field's selection, else to all the text of a selected text object; false when
// neither is there.
bool ApplyTextStyleToField(int styleBits, int size, int fontType, uint16_t textColor, uint16_t backColor,
                           int alignment);
// Writes into the object's record where it lies (card or background); false when not found.
bool SetObjectRecordWord(uint16_t kind, uint16_t id, uint32_t offset, uint16_t value);
