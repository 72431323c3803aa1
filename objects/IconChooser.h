// The icon and cursor chooser "ICONSDLG" (IconChooser_win.cpp): a scrolling grid of the icons or
// cursors of one source (the samples, the stack's own, a disk folder) in which animated cursors
// play. Its choice lands in the icon selection (objects/buttons/ButtonIcons.h).
#pragma once

#include <windows.h>

// `icons` true: button icons, false: object cursors. currentId is selected when the source holds
// it; a negative id counts as its absolute value but does not make the stack's own resources the
// first source. True when something was chosen: the selection then holds mode, whether it came
// from the stack, the id (0 for a disk file) and a copy of the data (icon data, or 'Crsr' data
// in memory order; none for a built-in cursor).
bool RunIconChooser(HWND window, bool icons, int currentId);
