// MINIMAL until the path options dialog is built: it changes nothing.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

int RunPathOptions(HWND owner, Handle sprite);
