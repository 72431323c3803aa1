// The card list's alerts and wait cursor in the Windows build: installed while the module loads,
// unless another part has installed its own first.
#include <windows.h>

#include "core/ui/Alerts.h"
#include "core/ui/WaitCursor.h"
#include "stack/cards/CardListNeighbours.h"

namespace {

int AlertOnCardWindow(uint32_t stringId) { return ShowAlert(stringId); }

const bool g_installed = [] {
    const CardListNeighbours defaults = DefaultCardListNeighbours();
    CardListNeighbours neighbours = CardNeighbours();
    if (neighbours.showAlert == defaults.showAlert)
        neighbours.showAlert = AlertOnCardWindow;
    if (neighbours.beginWaitCursor == defaults.beginWaitCursor) {
        neighbours.beginWaitCursor = BeginWaitCursor;
        neighbours.endWaitCursor = EndWaitCursor;
    }
    SetCardListNeighbours(neighbours);
    return true;
}();

}  // namespace
