// The wait cursor.
#include "core/ui/WaitCursor.h"

#include <windows.h>

namespace {

HCURSOR g_cursorBeforeWait = nullptr;
int g_waitDepth = 0;

}  // namespace

void BeginWaitCursor() {
    if (g_waitDepth++ == 0)
        g_cursorBeforeWait = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndWaitCursor() {
    if (g_waitDepth > 0 && --g_waitDepth == 0)
        SetCursor(g_cursorBeforeWait);
}
