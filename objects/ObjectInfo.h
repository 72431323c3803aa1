// Object information: the object features dialog "IFEATURE" and the cursor box of the
// information dialogs (ObjectInfo_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>

#include "layers/ObjectLayer.h"

// Shows what the object of `kind` and `id` is and where it lies (its layer, 0 when it has
// none), and edits its flags and cursor. IDOK writes them back; IDCANCEL (also for a missing
// pointer or an unknown kind) leaves them.
INT_PTR ShowItemInfo(HWND window, uint16_t kind, uint16_t id, uint16_t* flags, uint16_t* cursorId, LayerHandle layer);

// When the box is checked, the icon and cursor chooser opens in cursor mode with the current
// cursor id; nothing chosen with no current cursor unchecks it again. Unchecked: the icon
// selection is cleared. True when a cursor was chosen.
bool ChooseIconIfChecked(HWND dialog, int item, uint16_t cursorId);
