// Menus of extension modules and extras programs.
//
// Minimal until the extension modules are built: nothing can run an extras program yet, so
// none is listed.
#include "actions/NbaMenu.h"

int BuildNbaMenu(HWND /*frame*/, int /*slot*/, const char* /*pattern*/, HMENU /*menu*/, int /*position*/,
                 int /*firstId*/) {
    return 0;
}
