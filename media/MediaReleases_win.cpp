// MINIMAL start-up and release steps of the media library, video capture and videodisc player,
// until those exist: nothing is held, so nothing is made or released.
#include "media/MediaManager.h"

void AllocMediaLib() {}
void CloseMediaLib() {}
int OpenVideodiscPlayer() { return 1; }
void CloseVideodiscPlayer() {}
void ClearVideodiscState() {}
void CloseCaptureWindow() {}
int IsInVideoClickRect(uint32_t, HWND, UINT, LPARAM) { return 0; }
LRESULT OnDropFiles(HWND, bool, bool, uint32_t, WPARAM, LPARAM) { return 0; }
