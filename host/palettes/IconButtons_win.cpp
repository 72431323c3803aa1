// Drawing the icon buttons.
#include "host/palettes/IconButtons.h"

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"

namespace {

// Shared icons (LoadIcon): never destroyed. The resource module first, then our own.
HICON LoadButtonIcon(int id) {
    HICON icon = nullptr;
    if (const HMODULE res = GetResModule())
        icon = LoadIconA(res, MAKEINTRESOURCEA(id));
    return icon ? icon : LoadIconA(GetAppInstance(), MAKEINTRESOURCEA(id));
}

ButtonSize IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return {};
    BITMAP bits{};
    const HBITMAP colour = info.hbmColor ? info.hbmColor : info.hbmMask;
    GetObjectA(colour, sizeof bits, &bits);
    ButtonSize size{bits.bmWidth, info.hbmColor ? bits.bmHeight : bits.bmHeight / 2};
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return size;
}

}  // namespace

void DrawIconButton(HWND window, const DRAWITEMSTRUCT* item, int iconId) {
    if (!item || !item->hDC)
        return;
    const HDC dc = item->hDC;
    const int saved = SaveDC(dc);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
    RECT work = item->rcItem;
    InflateRect(&work, -bx, -by);

    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    const HICON icon = LoadButtonIcon(IconButtonIconId(iconId, selected, disabled));
    const ButtonSize iconSize = IconSize(icon);

    char caption[257] = {};
    const int length = item->hwndItem ? GetWindowTextA(item->hwndItem, caption, sizeof caption) : 0;
    SIZE extent{};
    if (length > 0)
        GetTextExtentPoint32A(dc, caption, length, &extent);
    const uint32_t style = item->hwndItem ? static_cast<uint32_t>(GetWindowLongA(item->hwndItem, GWL_STYLE)) : 0;
    IconButtonLayout at = LayOutIconButton({work.left, work.top, work.right, work.bottom}, iconSize,
                                           {length > 0 ? extent.cx : 0, length > 0 ? extent.cy : 0}, style);

    RECT edge = item->rcItem;
    DrawEdge(dc, &edge, selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
    if (selected) {
        at.iconX += 2 * bx;
        at.textX += 2 * bx;
        at.iconY += 2 * by;
        at.textY += 2 * by;
    }
    if (length > 0)
        TextOutA(dc, at.textX, at.textY, caption, length);
    if (icon)
        DrawIconEx(dc, at.iconX, at.iconY, icon, iconSize.width, iconSize.height, 0, nullptr, DI_NORMAL);
    if (length > 0 && (item->itemState & ODS_FOCUS)) {
        RECT focus{at.textX - 1, at.textY - 1, at.textX + extent.cx + 1, at.textY + extent.cy + 1};
        DrawFocusRect(dc, &focus);
    }
    RestoreDC(dc, saved);
}

void MakeButtonOwnerDrawn(HWND button, bool redraw) {
    if (!button)
        return;
    const LONG style = GetWindowLongA(button, GWL_STYLE);
    SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    if (redraw)
        InvalidateRect(button, nullptr, TRUE);
}
