// MINIMAL until the path options dialog is built: it is cancelled at once.
#include "actions/PathOptions.h"

int RunPathOptions(HWND, Handle) { return 2; }
