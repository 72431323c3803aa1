// Objects dragged off the card: written to an object file, and added to the media library when
// they were dropped on its list (MediaLibDrop_win.cpp).
#pragma once

#include <windows.h>

#include "layers/ObjectLayer.h"

// The point is in the card window's client coordinates. True when a file was written.
bool DropObjectToMediaLib(LayerHandle layer, POINT point);
