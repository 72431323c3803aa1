// What undo and paste need of the paint layer beyond the selections themselves.
#pragma once

#include <windows.h>

// The floating rectangle selection flipped in place: 'U' upside down, else sideways.
void FlipRectSelection(char letter);
// MINIMAL until paint text is built: the paint-text caret goes to (x, y); nothing is typed.
void SetPaintTextCaretPos(int x, int y);
// MINIMAL until the filter command is built: the name of the last filter used, "" for none.
const char* LastFilterName();
