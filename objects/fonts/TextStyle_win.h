// The current text style's style bits and alignment, and the Style and Align items of the Format
// menu applied to the active field's selection.
#pragma once

#include <windows.h>

#include "objects/fonts/TextStyleMenus.h"

StyleChecks GetCurrentStyleChecks();
int GetCurrentAlignment();
// 1375 Plain, 1376 Bold, 1377 Italic, 1378 Underline; the menu (when given) gets the checks.
void DoStyleMenu(HMENU menu, int command);
// 1379 Left, 1380 Center, 1381 Right.
void DoAlignMenu(HMENU menu, int command);
