// What the card list, a new stack and the stack opening ask of the colour dialogs and the
// window, installed when the module loads.
#include "core/system/PluginModule.h"
#include "graphics/colors/ColorChooser.h"
#include "graphics/colors/FcolorsLayout.h"
#include "host/window/CurrentTool.h"
#include "host/palettes/Fcolors.h"
#include "objects/ObjectColors.h"
#include "paint/PaintTextRedraw.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/CardListNeighbours.h"
#include "stack/dialogs/InfoDialogs.h"
#include "stack/open/NewStack.h"
#include "stack/depth/StackDepth.h"
#include "stack/open/StackOpenNeighbours.h"
#include "stack/undo/Undo.h"

namespace {

int AskSizeFromMainWindow(int* width, int* height, int* depth) {
    return AskCardSizeForNewStack(GetMainWindow(), width, height, depth);
}

const bool g_installed = [] {
    NewStackNeighbours fresh = StackStartNeighbours();
    fresh.askCardSizeForNewStack = AskSizeFromMainWindow;
    SetNewStackNeighbours(fresh);

    CardListNeighbours cards = CardNeighbours();
    cards.eraseCardBackground = EraseCardBackground;
    SetCardListNeighbours(cards);

    StackOpenNeighbours open = Neighbours();
    open.eraseCardBackground = [] { EraseCardBackground(0); };
    SetStackOpenNeighbours(open);
    return true;
}();

}  // namespace
