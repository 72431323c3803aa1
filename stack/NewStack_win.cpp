// What new stacks and loaded stack settings ask of the Windows build.
#include <windows.h>

#include "core/Alerts.h"
#include "graphics/CardOffscreen.h"
#include "stack/CardListNeighbours.h"
#include "stack/NewStack.h"
#include "stack/StackOpen.h"

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
