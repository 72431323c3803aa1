// The card list's alerts and wait cursor in the Windows build: installed while the module loads,
// unless another part has installed its own first.
#include <windows.h>

#include "core/Alerts.h"
#include "stack/CardListNeighbours.h"

namespace {

HCURSOR g_cursorBeforeWait = nullptr;
int g_waitDepth = 0;

int AlertOnCardWindow(uint32_t stringId) { return ShowAlert(stringId); }

void BeginWait() {
    if (g_waitDepth++ == 0)
        g_cursorBeforeWait = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void EndWait() {
    if (g_waitDepth > 0 && --g_waitDepth == 0)
        SetCursor(g_cursorBeforeWait);
}

const bool g_installed = [] {
    const CardListNeighbours defaults = DefaultCardListNeighbours();
    CardListNeighbours neighbours = CardNeighbours();
    if (neighbours.showAlert == defaults.showAlert)
        neighbours.showAlert = AlertOnCardWindow;
    if (neighbours.beginWaitCursor == defaults.beginWaitCursor) {
        neighbours.beginWaitCursor = BeginWait;
        neighbours.endWaitCursor = EndWait;
    }
    SetCardListNeighbours(neighbours);
    return true;
}();

}  // namespace
