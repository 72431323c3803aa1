// Buttons on the card: where the icon and name go, the hit region, drawing, the footprint in
// the layer mask and the highlight.
#include <cmath>
#include <cstring>

#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "objects/buttons/Buttons.h"

namespace {

bool IsObjectTool(int tool) { return tool >= kButtonTool && tool <= kSoundButtonTool; }

// Edit-time outlines show on the card window with an object tool at normal zoom.
bool ShowsOutlines(HWND window) {
    const CardView view = GetCardView();
    return window && IsObjectTool(view.tool) && view.zoom == 1;
}

COLORREF IndexColor(uint16_t index, COLORREF none) {
    return index == 0xFFFF ? none : PaletteIndexToColor(static_cast<int16_t>(index));
}

// The button's font selected into a DC for a scope; false when it cannot be made.
class ButtonFont {
public:
    ButtonFont(HDC dc, const ButtonLayer* layer) : font_(CreateFontIndirectA(&layer->font)), selected_(dc, font_.get()) {}
    explicit operator bool() const { return font_ && selected_; }

private:
    OwnedGdiObject<HFONT> font_;
    SelectedObject selected_;
};

void DrawShadowRoundRect(HDC dc, int left, int top, int right, int bottom, int d) {
    RoundRect(dc, left, top, right, bottom, d, d);
    MoveToEx(dc, left + d / 2 - 1, bottom - 1, nullptr);
    LineTo(dc, right - d / 2 + 1, bottom - 1);
    MoveToEx(dc, right - 1, top + d / 2 - 1, nullptr);
    LineTo(dc, right - 1, bottom - d / 2 + 1);
}

void DrawDropShadow(HDC dc, const RECT& r) {
    for (int i = 0; i < 2; ++i) {
        MoveToEx(dc, r.left + 2, r.bottom - 1 - i, nullptr);
        LineTo(dc, r.right, r.bottom - 1 - i);
        MoveToEx(dc, r.right - 1 - i, r.top + 2, nullptr);
        LineTo(dc, r.right - 1 - i, r.bottom - 1);
    }
}

bool HasVisibleContent(const ButtonLayer* b) {
    return (b->showIcon && b->icon) || (b->styleHas8 && b->nameLength > 0);
}

// A one-bit bitmap of the bounds' size: black, the icon's footprint and the name white.
HBITMAP ContentBitmap(const ButtonLayer* b) {
    const RECT& r = b->common.bounds;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return nullptr;
    HBITMAP bitmap = CreateBitmap(w, h, 1, 1, nullptr);
    MemoryDC dc(nullptr);
    SelectedObject selected(dc.get(), bitmap);
    ButtonFont font(dc.get(), b);
    if (!bitmap || !selected || !font) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    PatBlt(dc.get(), 0, 0, w, h, BLACKNESS);
    SetWindowOrgEx(dc.get(), r.left, r.top, nullptr);
    const ButtonContent c = MeasureButtonContent(dc.get(), b);
    if (c.icon)
        DrawIconFootprint(dc.get(), b->icon, c.iconRect.left, c.iconRect.top);
    if (c.name) {
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), RGB(255, 255, 255));
        TextOutA(dc.get(), c.namePos.x, c.namePos.y, b->name, b->nameLength);
    }
    return bitmap;
}

void BlitInvert(HDC dc, HBITMAP bitmap, const RECT& r) {
    MemoryDC source(dc);
    SelectedObject selected(source.get(), bitmap);
    if (!selected)
        return;
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255)), oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, SRCINVERT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

}  // namespace

ButtonContent MeasureButtonContent(HDC dc, const ButtonLayer* b) {
    ButtonContent c;
    SIZE m = {};
    GetTextExtentPoint32A(dc, "M", 1, &m);
    c.lineHeight = m.cy;
    const RECT& r = b->common.bounds;
    const int cx = r.left + (r.right - r.left) / 2;
    const double L = c.lineHeight;
    c.name = b->styleHas8 != 0;
    const uint32_t size = b->showIcon && b->icon ? GetIconSize(b->icon) : 0;
    c.icon = size != 0;
    double nameTop = r.top + ((r.bottom - r.top) - L) / 2;
    if (c.icon) {
        const int w = LOWORD(size), h = HIWORD(size);
        const double iconTop = r.top + ((r.bottom - r.top) - (h + (c.name ? 1.5 * L : 0))) / 2;
        const int x = cx - w / 2, y = static_cast<int>(std::trunc(iconTop));
        c.iconRect = {x, y, x + w, y + h};
        nameTop = iconTop + h + 0.5 * L;
    }
    if (c.name) {
        SIZE t = {};
        GetTextExtentPoint32A(dc, b->name, b->nameLength, &t);
        c.nameWidth = t.cx;
        c.namePos = {cx - t.cx / 2, static_cast<int>(std::trunc(nameTop))};
    }
    return c;
}

int GetButtonIconTop(const ButtonLayer* b, int lineHeight, int* width, int* height) {
    const uint32_t size = b->showIcon && b->icon ? GetIconSize(b->icon) : 0;
    const int w = LOWORD(size), h = HIWORD(size);
    if (width)
        *width = w;
    if (height)
        *height = h;
    const RECT& r = b->common.bounds;
    return static_cast<int>(std::trunc(r.top + ((r.bottom - r.top) - (h + (b->styleHas8 ? 1.5 * lineHeight : 0))) / 2));
}

HRGN MakeButtonRegion(HWND window, const ButtonLayer* b) {
    const RECT& r = b->common.bounds;
    WindowDC dc(window);
    ButtonFont font(dc.get(), b);
    if (!dc || !font)
        return nullptr;
    const ButtonContent c = MeasureButtonContent(dc.get(), b);
    const int d = c.lineHeight;
    switch (b->shape) {
    case kButtonShapeRounded:
    case kButtonShapeDefault: return CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, d, d);
    case kButtonShapeRectangle: return CreateRectRgnIndirect(&r);
    case kButtonShapeShadowed: {
        HRGN a = CreateRectRgn(r.left, r.top, r.right - 4, r.bottom - 4);
        HRGN shadow = CreateRectRgn(r.left + 4, r.top + 4, r.right, r.bottom);
        if (a && shadow)
            CombineRgn(a, a, shadow, RGN_OR);
        if (shadow)
            DeleteObject(shadow);
        return a;
    }
    default: break;
    }
    HRGN region = nullptr;
    auto add = [&](const RECT& part) {
        HRGN piece = CreateRectRgnIndirect(&part);
        if (!region) {
            region = piece;
        } else if (piece) {
            CombineRgn(region, region, piece, RGN_OR);
            DeleteObject(piece);
        }
    };
    if (c.icon)
        add(c.iconRect);
    if (c.name)
        add({c.namePos.x, c.namePos.y, c.namePos.x + c.nameWidth, c.namePos.y + c.lineHeight});
    return region;
}

void DrawButton(HDC dc, const ButtonLayer* b, HWND window) {
    if (b->beingEdited)
        return;
    const int savedDc = SaveDC(dc);
    ButtonFont font(dc, b);
    if (!font) {
        RestoreDC(dc, savedDc);
        return;
    }
    const RECT& r = b->common.bounds;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IndexColor(b->colorIndex, RGB(0, 0, 0)));
    OwnedGdiObject<HBRUSH> fill(CreateSolidBrush(IndexColor(b->secondColorIndex, RGB(255, 255, 255))));
    SelectObject(dc, fill.get());
    SelectObject(dc, GetStockObject(BLACK_PEN));
    const ButtonContent c = MeasureButtonContent(dc, b);
    const int L = c.lineHeight;
    switch (b->shape) {
    case kButtonShapeRounded: DrawShadowRoundRect(dc, r.left, r.top, r.right, r.bottom, L); break;
    case kButtonShapeDefault: {
        OwnedGdiObject<HPEN> frame(CreatePen(PS_SOLID, 4, GetSysColor(COLOR_WINDOWFRAME)));
        SelectObject(dc, frame.get());
        RoundRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, L, L);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DrawShadowRoundRect(dc, r.left + 6, r.top + 6, r.right - 6, r.bottom - 6, L);
        break;
    }
    case kButtonShapeRectangle: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case kButtonShapeShadowed:
        Rectangle(dc, r.left, r.top, r.right - 2, r.bottom - 2);
        DrawDropShadow(dc, r);
        break;
    case kButtonShapeInvisible:
        if (ShowsOutlines(window)) {
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        break;
    default:
        if (ShowsOutlines(window) && b->freehandOutline) {
            MemoryDC source(dc);
            SelectedObject outline(source.get(), b->freehandOutline);
            BITMAP info = {};
            GetObjectA(b->freehandOutline, sizeof info, &info);
            SelectObject(dc, GetStockObject(BLACK_BRUSH));
            SetBkColor(dc, RGB(255, 255, 255));
            SetTextColor(dc, RGB(0, 0, 0));
            BitBlt(dc, r.left, r.top, info.bmWidth, info.bmHeight, source.get(), 0, 0, kRopAndNotSource);
            SetTextColor(dc, IndexColor(b->colorIndex, RGB(0, 0, 0)));
        }
        break;
    }
    if (IsFramedButtonShape(b->shape))
        IntersectClipRect(dc, r.left + kButtonClipInset, r.top, r.right - kButtonClipInset, r.bottom);
    if (c.icon)
        DrawIconImage(dc, b->icon, 0, c.iconRect.left, c.iconRect.top);
    if (c.name)
        TextOutA(dc, c.namePos.x, c.namePos.y, b->name, b->nameLength);
    RestoreDC(dc, savedDc);
}

void DrawButtonLayer(HDC dc, const ButtonLayer* b) {
    const RECT& r = b->common.bounds;
    MemoryDC measure(nullptr);
    ButtonFont font(measure.get(), b);
    const ButtonContent c = font ? MeasureButtonContent(measure.get(), b) : ButtonContent{};
    const int L = c.lineHeight;
    switch (b->shape) {
    case kButtonShapeRounded: RoundRect(dc, r.left, r.top, r.right, r.bottom, L, L); break;
    case kButtonShapeDefault: RoundRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, L, L); break;
    case kButtonShapeRectangle: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case kButtonShapeShadowed:
        Rectangle(dc, r.left, r.top, r.right - 2, r.bottom - 2);
        DrawDropShadow(dc, r);
        break;
    default: break;
    }
    // The mask is black where layers lie: the footprint goes in black too.
    if (c.icon) {
        const int w = c.iconRect.right - c.iconRect.left, h = c.iconRect.bottom - c.iconRect.top;
        HBITMAP print = CreateBitmap(w, h, 1, 1, nullptr);
        if (print) {
            {
                MemoryDC pd(nullptr);
                SelectedObject s(pd.get(), print);
                PatBlt(pd.get(), 0, 0, w, h, BLACKNESS);
                DrawIconFootprint(pd.get(), b->icon, 0, 0);
                BitBlt(dc, c.iconRect.left, c.iconRect.top, w, h, pd.get(), 0, 0, kRopAndNotSource);
            }
            DeleteObject(print);
        }
    }
    if (c.name && !IsFramedButtonShape(b->shape)) {
        ButtonFont nameFont(dc, b);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        TextOutA(dc, c.namePos.x, c.namePos.y, b->name, b->nameLength);
        SetBkMode(dc, oldMode);
        SetTextColor(dc, oldText);
    }
}

void HiliteButtonLayer(const ButtonLayer* b, HWND window) {
    WindowDC dc(window);
    if (!dc)
        return;
    const RECT& r = b->common.bounds;
    if (IsFramedButtonShape(b->shape)) {
        if (b->common.region)
            InvertRgn(dc.get(), b->common.region);
        return;
    }
    if (HasVisibleContent(b)) {
        if (HBITMAP content = ContentBitmap(b)) {
            BlitInvert(dc.get(), content, r);
            DeleteObject(content);
        }
    } else if (b->shape == kButtonShapeInvisible) {
        InvertRect(dc.get(), &r);
    } else if (b->freehandMask) {
        BlitInvert(dc.get(), b->freehandMask, r);
    }
}

void DrawButtonLayerHilite(HDC dc, const ButtonLayer* b) {
    const RECT& r = b->common.bounds;
    if (b->freehandMask && b->freehandOutline) {
        BlitInvert(dc, b->freehandOutline, r);
    } else if (b->shape == kButtonShapeInvisible) {
        const int oldRop = SetROP2(dc, R2_NOT);
        SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SetROP2(dc, oldRop);
    }
}

void InvalidateButtonContent(HWND window, const ButtonLayer* b, const RECT& rect) {
    if (IsFramedButtonShape(b->shape))
        return;
    WindowDC dc(window);
    ButtonFont font(dc.get(), b);
    if (!font)
        return;
    const ButtonContent c = MeasureButtonContent(dc.get(), b);
    RECT common;
    if (c.icon && IntersectRect(&common, &c.iconRect, &rect))
        InvalidateRect(window, &common, FALSE);
    const RECT name = {c.namePos.x, c.namePos.y, c.namePos.x + c.nameWidth, c.namePos.y + c.lineHeight};
    if (c.name && IntersectRect(&common, &name, &rect))
        InvalidateRect(window, &common, FALSE);
}
