#include "core/system/FrameWindow.h"

bool FrameHasMenuBar() { return false; }
