// The one capture of the picture a move's QuickTime effect plays from (CardRedraw.h).
#include <vector>

#include "cardview/card/CardRedraw.h"
#include "cardview/card/CardRender.h"
#include "cardview/transitions/QtEffect.h"
#include "graphics/dib/Dib.h"

void TakeOldCard(CardMove& move, HWND window, Handle leftCard) {
    if (!NeedsOldCard(move) || move.oldCard)
        return;
    DibHandle rendered = 0;
    if (leftCard && RenderCardToDib(leftCard, &rendered)) {
        std::vector<uint8_t> bytes = HandleToBytes(rendered);
        DisposeHandle(rendered);
        DibLayout layout;
        if (ReadDibLayout(bytes, layout)) {
            move.oldCard = OldCardPicture(std::move(bytes));
            return;
        }
    }
    move.oldCard = OldCardOfWindow(window);
}
