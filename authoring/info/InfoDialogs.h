// Authoring the stack and card, what this folder offers: the information dialogs (INF_STACK, INF_CARD), with the actions editor and
// the cursor chooser. The card size and colours dialog and the progress window of a size
// change are stack/dialogs/StackSizeDialogs.h; the record the dialogs work on is
// stack/dialogs/InfoDialogsRecord.h.
#pragma once

#include <windows.h>

// Runs INF_STACK (isStack) or INF_CARD on the open stack, with the actions editor between
// re-openings: 1 (OK) or 2 (Cancel, or the record could not be prepared).
int ShowInfoDialog(HWND window, bool isStack);
