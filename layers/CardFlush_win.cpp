// Writing the current card's pending edits into its record.
#include "layers/CardFlush.h"

#include "core/system/ChangeFlags.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPicturePaint.h"

void FlushCardEdits() {
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    SyncCardFromLayers();
    // Only a painted card stores its picture again: packing is lossy for pictures kept as JPEG,
    // and on a palette display the offscreen holds the picture fitted to the display.
    if (IsCardChanged() && GetOffscreenBitmap() && (!CardPicturePainted() || SaveBackgroundPicture(card) == 0)) {
        MarkStackModified();
        ClearCardChanged();
    }
}
