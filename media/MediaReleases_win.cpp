// MINIMAL start-up and release steps of the media library until it exists: nothing is held, so
// nothing is made or released.
#include "media/MediaManager.h"

void AllocMediaLib() {}
void CloseMediaLib() {}
LRESULT OnDropFiles(HWND, bool, bool, uint32_t, WPARAM, LPARAM) { return 0; }
