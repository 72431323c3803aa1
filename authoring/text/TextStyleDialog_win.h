// The Text Style dialog: the common font dialog on template #1543 with our style check boxes,
// colour grids, alignment and preview; run on the current style, a field's selection or a
// button's name font.
#pragma once

#include <windows.h>

#include <cstdint>

#include "layers/ObjectLayer.h"

inline constexpr int kTextStyleTemplate = 1543;
enum TextStyleControl : int {
    kStylePreview = 51,
    kStylePlain = 55,
    kStyleBold = 56,
    kStyleItalic = 57,
    kStyleUnderline = 58,
    kStyleTextColors = 63,
    kStyleBackColors = 64,
    kStyleAlignment = 65,
    kStyleBackLabel = 67,
};
inline constexpr int kFontFaceList = 1136, kFontSizeList = 1138;

// Changes only the current style; true on OK.
bool RunTextStyleDialog(HWND owner);
// With the background colour and alignment shown: 1 on OK (size, font type and face kept too),
// 2 on cancel.
int RunChooseFontForField(HWND owner);
// On a text field or text object (its selection's style) or a selected button; false when
// none takes it.
bool DoChooseFontCommand(HWND window);
// The dialog on the button's name font; the current style is put back either way.
void EditButtonFont(HWND window, LayerHandle button);
// The same on a font and name colour: on OK they take the choice (weight, italic and underline
// by its style) and points, when given, the size; false when cancelled.
bool ChooseButtonNameFont(HWND window, LOGFONTA* font, uint16_t* colorIndex, int* points = nullptr);
// Text Style (359): DoChooseFontCommand, else RunTextStyleDialog.
void RunTextStyleCommand(HWND window);
