// Painting the card window from the card offscreen.
#include <windows.h>

#include <optional>

#include "actions/ActionServices.h"
#include "core/files/FileLayer.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/WaitCursor.h"
#include "cardview/card/CardRedraw.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/state/CardHandlerState.h"
#include "host/state/MenuOptions.h"
#include "host/window/CardMessageHandler.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"

namespace {

// Whenever the card is drawn its movies' stills are drawn too: its offscreen keeps the picture
// alone, and the movies opened for them may have gone since (a command stops the media first).
void DrawStills(HDC dc, const RECT& rect) {
    const Handle card = GetCurrentCardRecord();
    if (!card || !IsBrowseMode())
        return;
    LocateFileWithoutAsking quiet;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    DrawCardMovieStills(card, dc);
    RestoreDC(dc, saved);
}

}  // namespace

void RedrawCardFrame(HWND window, int left, int top, int right, int bottom) {
    WindowDC dc(window);
    if (!dc)
        return;
    if (!GetOffscreenBitmap()) {
        RECT client = {};
        GetClientRect(window, &client);
        SelectedObject pen(dc.get(), GetStockObject(NULL_PEN));
        SelectedObject brush(dc.get(), GetStockObject(WHITE_BRUSH));
        Rectangle(dc.get(), -1, -1, client.right + 2, client.bottom + 2);
        return;
    }
    ShowCursor(FALSE);
    const bool magnified = GetFatbitsZoom() != 1;
    {
        std::optional<WaitCursor> wait;
        if (!magnified)
            wait.emplace();
        SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        HDC offscreen = AcquireOffscreenDC(dc.get());
        if (offscreen) {
            const int oldWindowRop = SetROP2(dc.get(), R2_COPYPEN);
            const int oldOffscreenRop = SetROP2(offscreen, R2_COPYPEN);
            RECT rect = {left, top, right, bottom};
            if (magnified) {
                POINT corners[2] = {{left, top}, {right, bottom}};
                ScreenToZoomed(&corners[0]);
                ScreenToZoomed(&corners[1]);
                const RECT zoomed = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
                UpdateFatbitsFromDC(dc.get(), offscreen, zoomed);
                DrawGrid(dc.get(), rect);
            } else {
                // Beyond the card lies the page: white, whatever the offscreen holds there.
                const RECT card = CardBoundsInWindow(window);
                const int saved = SaveDC(dc.get());
                ExcludeClipRect(dc.get(), card.left, card.top, card.right, card.bottom);
                FillRect(dc.get(), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                RestoreDC(dc.get(), saved);
                ClipToCard(window, dc.get());
                BitBlt(dc.get(), left, top, right - left, bottom - top, offscreen, left, top, SRCCOPY);
                DrawGrid(dc.get(), rect, true);
                if (ObjectsShown())
                    DrawLayersInRect(dc.get(), rect, nullptr, false);
                DrawStills(dc.get(), rect);
            }
            SetROP2(offscreen, oldOffscreenRop);
            SetROP2(dc.get(), oldWindowRop);
            ReleaseOffscreenDC(offscreen);
        }
    }
    DrawPlacedButton(window);
    DrawPlacedGraphic(window);
    DrawRectSelection(window);
    DrawMaskSelection(window);
    ShowCursor(TRUE);
}

uint32_t MeasureText(HDC dc, const char* text, int length) {
    SIZE size = {};
    if (!dc || !text || length <= 0 || !GetTextExtentPoint32A(dc, text, length, &size))
        return 0;
    return (static_cast<uint32_t>(size.cy & 0xFFFF) << 16) | static_cast<uint32_t>(size.cx & 0xFFFF);
}
