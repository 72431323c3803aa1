// What input the card takes under an editor (EditorInput_win.cpp): the one door the card window
// and the fields on it ask before they handle a click, a key or a drop.
#pragma once

#include <cstdint>

// Whether the card or a field on it must let this message go: an editor runs (EditorGuard.h)
// and the message is not the editor's own input. A placing or tracking loop's own input is the
// left button's press, release and moves, which its hook takes, and while a rectangle is
// tracked the arrows, Shift and Ctrl that move it; a double-click, the right and middle buttons,
// other keys, the context menu and drops are nobody's while it runs.
bool CardInputHeld(unsigned message, uintptr_t wParam);
