// The media library browser.
//
// MINIMAL until the media library is built: it is never open.
#include "media/MediaLibrary.h"

HWND GetMediaLibWindow() { return nullptr; }
bool IsPointOverMediaLib(HWND, POINT) { return false; }
