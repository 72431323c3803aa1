// MINIMAL until the information dialogs are built: the size dialog is cancelled at once.
#include "stack/InfoDialogs.h"

int AskStackSizeAndColors(HWND, int, int*, int*, int*) { return IDCANCEL; }
