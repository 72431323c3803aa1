// What new stacks and loaded stack settings ask of the Windows build.
#include <windows.h>

#include "core/ui/Alerts.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/cards/CardListNeighbours.h"
#include "stack/open/NewStack.h"
#include "stack/open/StackOpen.h"

namespace {

int Alert(uint32_t id) { return ShowAlert(id); }
void* CardWindowOf() { return GetCardWindow(); }
void DefaultPalette() { CardNeighbours().convertCardToDefaultPalette(); }

const bool g_installed = [] {
    NewStackNeighbours n = StackStartNeighbours();
    n.showAlert = Alert;
    n.setStackNameFromDefault = SetStackNameFromDefault;
    n.rememberHomeStack = RememberHomeStack;
    n.cardWindow = CardWindowOf;
    n.convertCardToDefaultPalette = DefaultPalette;
    SetNewStackNeighbours(n);
    return true;
}();

}  // namespace
