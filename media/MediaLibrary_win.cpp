// The media library browser.
//
// Minimal until the media library is built: it is never open.
#include "media/MediaLibrary.h"

HWND GetMediaLibWindow() { return nullptr; }
