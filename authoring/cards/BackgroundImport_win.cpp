// A picture file imported as the card's background, through the picture import, under undo.
#include <algorithm>
#include <cstring>

#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/palette/CurrentColors.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/OffscreenDib.h"
#include "media/pictures/GraphicSource.h"
#include "media/pictures/PictureFiles.h"
#include "media/video/VideoSources.h"
#include "paint/PaintTools.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/CardPictureFiles.h"
#include "authoring/cards/UndoServices.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/undo/Undo.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

// Along one axis: where the picture's part goes on the card, where it starts in the picture,
// and how long it is. A larger picture gives its middle; a smaller one is centred.
struct AxisPlace {
    int to = 0;
    int from = 0;
    int length = 0;
};

AxisPlace Centre(int picture, int card) {
    if (picture > card)
        return {0, (picture - card) / 2, card};
    return {(card - picture) / 2, 0, picture};
}

void PlacePicture(HDC offscreen, HBITMAP picture, int cardWidth, int cardHeight, bool stretch) {
    BITMAP size{};
    GetObject(picture, sizeof size, &size);
    HDC source = CreateCompatibleDC(offscreen);
    if (!source)
        return;
    HGDIOBJ kept = SelectObject(source, picture);
    if (stretch) {
        const int oldMode = SetStretchBltMode(offscreen, COLORONCOLOR);
        StretchBlt(offscreen, 0, 0, cardWidth, cardHeight, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SetStretchBltMode(offscreen, oldMode);
    } else {
        const AxisPlace x = Centre(size.bmWidth, cardWidth);
        const AxisPlace y = Centre(size.bmHeight, cardHeight);
        BitBlt(offscreen, x.to, y.to, x.length, y.length, source, x.from, y.from, SRCCOPY);
    }
    SelectObject(source, kept);
    DeleteDC(source);
}

}  // namespace

int ImportBackgroundPicture(HWND window, const char* path) {
    char chosen[MAX_PATH] = {};
    int source = kGraphicFromFile;
    if (path) {
        std::strncpy(chosen, path, sizeof chosen - 1);
    } else if (!ChooseGraphicSource(window, chosen, sizeof chosen, 'R', &source)) {
        return 0;
    }
    const uint32_t oldPalette = CurrentCardPaletteCopy();
    HPALETTE palette = nullptr;
    HBITMAP picture = LoadChosenGraphic(source, chosen, window, &palette, 1);
    if (!picture) {
        if (oldPalette)
            DeleteObject(reinterpret_cast<HPALETTE>(static_cast<uintptr_t>(oldPalette)));
        return 0;
    }
    const DibHandle snapshot = OffscreenToDib();
    int cardWidth = 0, cardHeight = 0;
    GetOffscreenSize(&cardWidth, &cardHeight, nullptr);
    BITMAP size{};
    GetObject(picture, sizeof size, &size);
    const bool stretch = (size.bmWidth != cardWidth || size.bmHeight != cardHeight) &&
                         ShowAlert(kAlertPictureSizeDiffers) == 1;
    if (HDC offscreen = AcquireOffscreenDC(nullptr)) {
        const RECT card{0, 0, cardWidth, cardHeight};
        HBRUSH erase = CreateSolidBrush(PaletteIndexToColor(GetToolColor('e')));
        FillRect(offscreen, &card, erase);
        DeleteObject(erase);
        PlacePicture(offscreen, picture, cardWidth, cardHeight, stretch);
        ReleaseOffscreenDC(offscreen);
        NoteCardPicturePainted();
    }
    DeleteObject(picture);
    InvalidateRect(window, nullptr, FALSE);
    InvalidateFatbits();
    MarkStackChanged();
    if (const Handle card = GetCurrentCardRecord())
        MapBitmapToPalette(card, GetAppPalette());
    ReloadFillPatterns();
    if (HasUndoRecord()) {
        RecordImportBackgroundUndo(static_cast<uint32_t>(snapshot), oldPalette);
    } else {
        // Nothing keeps them for an undo.
        Handle unkept = snapshot;
        DisposeHandleAndClear(&unkept);
        if (oldPalette)
            DeleteObject(reinterpret_cast<HPALETTE>(static_cast<uintptr_t>(oldPalette)));
    }
    if (palette)
        DeleteObject(palette);  // its colours live on in the picture record and the application palette
    return 1;
}
