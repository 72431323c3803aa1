// A frame grabbed from the card as it shows, objects included (AnimFrames.h): a rectangle, a
// lasso, or the area of one colour.
#include "authoring/animation/AnimFrames.h"

#include <algorithm>
#include <cstdlib>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/PixMap.h"
#include "media/animation/AnimPlayback.h"
#include "objects/graphics/LassoPoints.h"
#include "paint/Selections.h"

namespace {

enum class GrabEnd { Released, ColourPick, Cancelled };

struct Grab {
    HWND window = nullptr;
    bool lasso = false, pressed = false;
    bool shiftAtPress = false, shiftAtRelease = false;
    POINT anchor{}, corner{}, last{};
};

bool KeyDown(int key) { return GetKeyState(key) < 0; }

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The rectangle's far corner: with Shift held at the press a square whose side is the larger
// distance, toward the mouse.
POINT RectCorner(const Grab& g, POINT mouse) {
    if (!g.shiftAtPress)
        return mouse;
    const int dx = mouse.x - g.anchor.x, dy = mouse.y - g.anchor.y;
    const int side = std::max(std::abs(dx), std::abs(dy));
    return POINT{g.anchor.x + (dx < 0 ? -side : side), g.anchor.y + (dy < 0 ? -side : side)};
}

// Dragged up or to the left the corner lies before the anchor: the outline goes from the
// smaller to the larger coordinates either way.
void DrawGrabRect(const Grab& g) {
    WindowDC dc(g.window);
    DrawMarchingRect(dc.get(), 'X', std::min(g.anchor.x, g.corner.x), std::min(g.anchor.y, g.corner.y),
                     std::max(g.anchor.x, g.corner.x), std::max(g.anchor.y, g.corner.y), 0);
}

void DrawInvertedLine(HWND window, POINT from, POINT to) {
    WindowDC dc(window);
    const int oldRop = SetROP2(dc.get(), R2_NOT);
    MoveToEx(dc.get(), from.x, from.y, nullptr);
    LineTo(dc.get(), to.x, to.y);
    SetROP2(dc.get(), oldRop);
}

bool IsCardMessage(HWND window, const MSG& m) { return m.hwnd == window || IsChild(window, m.hwnd); }

// Takes the card window's messages until the press is released, the capture is lost or Escape
// is pressed; paints still happen, other windows get theirs.
GrabEnd TrackGrab(Grab& g) {
    for (;;) {
        if (GetCapture() != g.window)
            return GrabEnd::Cancelled;
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return GrabEnd::Cancelled;
        }
        if ((m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) || m.message == WM_CANCELMODE)
            return GrabEnd::Cancelled;
        if (!IsCardMessage(g.window, m)) {
            if ((m.message < WM_KEYFIRST || m.message > WM_KEYLAST) &&
                (m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
            continue;
        }
        const POINT at = PointOf(m.lParam);
        switch (m.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (g.pressed)
                break;
            g.pressed = true;
            g.anchor = g.corner = g.last = at;
            g.shiftAtPress = (m.wParam & MK_SHIFT) || KeyDown(VK_SHIFT);
            if (g.lasso && ((m.wParam & MK_CONTROL) || KeyDown(VK_CONTROL)))
                return GrabEnd::ColourPick;
            if (g.lasso) {
                RECT client{};
                GetClientRect(g.window, &client);
                LassoBeginPoints(client.right, client.bottom);
                LassoAddPoint(at.x, at.y);
            } else {
                DrawGrabRect(g);
            }
            break;
        case WM_MOUSEMOVE:
            if (!g.pressed)
                break;
            if (g.lasso) {
                if (at.x != g.last.x || at.y != g.last.y) {
                    DrawInvertedLine(g.window, g.last, at);
                    LassoAddPoint(at.x, at.y);
                    g.last = at;
                }
            } else {
                DrawGrabRect(g);
                g.corner = RectCorner(g, at);
                DrawGrabRect(g);
            }
            break;
        case WM_LBUTTONUP:
            if (!g.pressed)
                break;
            g.shiftAtRelease = (m.wParam & MK_SHIFT) || KeyDown(VK_SHIFT);
            if (g.lasso) {
                LassoAddPoint(at.x, at.y);
                DrawInvertedLine(g.window, g.last, at);
                DrawInvertedLine(g.window, at, g.anchor);
                g.last = at;
            } else {
                DrawGrabRect(g);
                g.corner = RectCorner(g, at);
            }
            return GrabEnd::Released;
        case WM_PAINT:
            DispatchMessageA(&m);
            break;
        default:
            break;  // the card's own messages wait for the grab to end
        }
    }
}

COLORREF OffscreenPixel(PixMap* off, POINT at) {
    BeginPixMapDraw(off);
    const COLORREF colour = GetPixel(off->dc, at.x, at.y);
    EndPixMapDraw(off);
    return colour == CLR_INVALID ? RGB(0, 0, 0) : colour;
}

// The cut-out of the offscreen at the mask's rectangle laid on the colour outside the mask: one
// frame, which starts where it was cut.
bool MaskedCutOut(PixMap* off, HBITMAP mask, const RECT& bounds, COLORREF colour, FrameStrip* out) {
    OwnedGdiObject<HBITMAP> maskGuard(mask);
    if (!mask || IsRectEmpty(&bounds))
        return false;
    HBITMAP cutOut;
    {
        UnselectedPixMapBitmap unselected(*off);
        cutOut = CutOutBitmap(off->bitmap, bounds);
    }
    OwnedGdiObject<HBITMAP> cut(cutOut);
    if (!cut)
        return false;
    out->strip = MaskedFrameOnColour(cut.get(), mask, colour);
    if (!out->strip)
        return false;
    out->transparent = true;
    out->rgb[0] = GetRValue(colour);
    out->rgb[1] = GetGValue(colour);
    out->rgb[2] = GetBValue(colour);
    out->frames = {ShortRect{0, 0, static_cast<int16_t>(bounds.right - bounds.left),
                             static_cast<int16_t>(bounds.bottom - bounds.top)}};
    out->startOnScreen = POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    return true;
}

RECT CardBounds(PixMap* off) {
    const ShortRect b = PixMapBounds(*off);
    return RECT{b.left, b.top, b.right, b.bottom};
}

bool RectangleFrame(const Grab& g, PixMap* off, FrameStrip* out) {
    RECT r{std::min(g.anchor.x, g.corner.x), std::min(g.anchor.y, g.corner.y), std::max(g.anchor.x, g.corner.x),
           std::max(g.anchor.y, g.corner.y)};
    const RECT card = CardBounds(off);
    IntersectRect(&r, &r, &card);
    if (IsRectEmpty(&r))
        return false;
    UnselectedPixMapBitmap unselected(*off);
    out->strip = CutOutBitmap(off->bitmap, r);
    out->frames = {ShortRect{0, 0, static_cast<int16_t>(r.right - r.left), static_cast<int16_t>(r.bottom - r.top)}};
    out->startOnScreen = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return out->strip != nullptr;
}

bool ColourRegionFrame(const Grab& g, PixMap* off, FrameStrip* out) {
    const RECT card = CardBounds(off);
    if (!PtInRect(&card, g.anchor))
        return false;
    const COLORREF under = OffscreenPixel(off, g.anchor);
    // The colour that shows through must differ from the region's.
    const COLORREF colour = RGB(GetRValue(under) == 255 ? 0 : 255, GetGValue(under), GetBValue(under));
    HBITMAP mask = nullptr;
    RECT bounds{};
    {
        UnselectedPixMapBitmap unselected(*off);
        MakeRegionMaskAt(g.window, off->bitmap, g.anchor.x, g.anchor.y + 1, &mask, &bounds);
    }
    return MaskedCutOut(off, mask, bounds, colour, out);
}

bool LassoFrame(const Grab& g, PixMap* off, FrameStrip* out) {
    LassoClampPoints();
    Handle points = 0;
    int32_t count = 0;
    LassoGetPoints(&points, &count);
    if (count < 3)
        return false;
    Rect32 lassoBounds{};
    LassoPointsBounds(&lassoBounds);
    const RECT card = CardBounds(off);
    POINT first = g.anchor;
    first.x = std::clamp<LONG>(first.x, 0, std::max<LONG>(card.right - 1, 0));
    first.y = std::clamp<LONG>(first.y, 0, std::max<LONG>(card.bottom - 1, 0));
    const COLORREF colour = OffscreenPixel(off, first);
    HBITMAP mask = nullptr;
    RECT bounds{lassoBounds.left, lassoBounds.top, lassoBounds.right, lassoBounds.bottom};
    if (g.shiftAtRelease) {
        MaskFromLassoPoints(g.window, &mask, &bounds);
    } else {
        DibHandle image;
        {
            UnselectedPixMapBitmap unselected(*off);
            image = DibFromDeviceBitmap(off->bitmap, 24, nullptr);
        }
        ScopedHandle imageGuard(image);
        if (!image || !MaskFromPolygon(g.window, image, &mask, &bounds))
            return false;
    }
    return MaskedCutOut(off, mask, bounds, colour, out);
}

}  // namespace

bool GrabCardFrame(bool lasso, FrameStrip* out) {
    FreeFrameStrip(out);
    Grab g;
    g.window = GetMainWindow();
    g.lasso = lasso;
    if (!g.window || !MakeAnimOffscreen())
        return false;
    PixMap* off = GetAnimOffscreen();
    if (!off || !off->bitmap)
        return false;
    // The card as it shows, every object drawn.
    {
        WindowDC dc(g.window);
        BeginPixMapDraw(off);
        const ShortRect b = PixMapBounds(*off);
        BitBlt(dc.get(), 0, 0, b.right, b.bottom, off->dc, 0, 0, SRCCOPY);
        EndPixMapDraw(off);
    }
    SetCapture(g.window);
    HINSTANCE module = GetAppInstance();
    HCURSOR cursor = LoadCursorA(module, lasso ? "LASSO" : "CROSS");
    SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_CROSS));
    const GrabEnd end = TrackGrab(g);
    if (GetCapture() == g.window)
        ReleaseCapture();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    InvalidateRect(g.window, nullptr, FALSE);

    bool made = false;
    switch (end) {
    case GrabEnd::Cancelled: break;
    case GrabEnd::ColourPick: made = ColourRegionFrame(g, off, out); break;
    case GrabEnd::Released: made = g.lasso ? LassoFrame(g, off, out) : RectangleFrame(g, off, out); break;
    }
    if (g.lasso)
        LassoFreePoints();
    if (!made) {
        FreeFrameStrip(out);
        return false;
    }
    ClientToScreen(g.window, &out->startOnScreen);
    return true;
}
