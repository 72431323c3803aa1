// Writing back and redrawing the current card in place.
#include "layers/CardFlush.h"
#include "host/player/CardRefresh.h"

#include "core/system/ChangeFlags.h"
#include "cardview/card/CardRedraw.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"

void RefreshCurrentCard(int redraw) {
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    FlushCardEdits();
    MediaRemoveFinished(1, 0);
    ReleaseAnimPlayback();
    CloseCaptureWindow();
    FreeLayerList();
    RedrawCard(card, {}, redraw != 0);
}
