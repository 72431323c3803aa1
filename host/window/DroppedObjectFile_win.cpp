// MINIMAL until the object placer is merged: a saved object file dropped on the card is
// recognised, but nothing is placed.
#include <windows.h>

#include "host/window/DroppedFiles.h"

bool PlaceDroppedObjectFile(HWND, const char*, POINT) { return false; }
