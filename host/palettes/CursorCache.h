// The cursor cache lives in core (core/CursorCache.h); this name stays for the host's callers.
#pragma once

#include "core/ui/CursorCache.h"
