// Scale And Rotate for the cropping dialog ("CROPSCALE"): the angle and the two scales asked
// for, then the picture turned and scaled, the old one kept for Undo.
#include "authoring/graphics/PictureCrop.h"

#include <cstdio>
#include <cstdlib>

#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "graphics/palette/AppPalette.h"
#include "objects/graphics/GraphicPlacement.h"
#include "paint/Selections.h"
#include "resources/graphics_ids.h"

namespace {

// What the dialog gives: degrees and percentages.
struct ScaleRotate {
    double angle = 0;
    double scaleX = 100;
    double scaleY = 100;
};
ScaleRotate g_asked;

constexpr double kMinScale = 1, kMaxScale = 1000;

bool ReadNumber(HWND dialog, int id, double* value) {
    char text[32] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    char* end = nullptr;
    const double read = std::strtod(text, &end);
    if (end == text)
        return false;
    *value = read;
    return true;
}

void SetNumber(HWND dialog, int id, double value) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%g", value);
    SetDlgItemTextA(dialog, id, text);
}

INT_PTR CALLBACK ScaleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetNumber(dialog, CROPSCALE_ANGLE, g_asked.angle);
        SetNumber(dialog, CROPSCALE_SCALE_X, g_asked.scaleX);
        SetNumber(dialog, CROPSCALE_SCALE_Y, g_asked.scaleY);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            ScaleRotate asked;
            if (!ReadNumber(dialog, CROPSCALE_ANGLE, &asked.angle) ||
                !ReadNumber(dialog, CROPSCALE_SCALE_X, &asked.scaleX) ||
                !ReadNumber(dialog, CROPSCALE_SCALE_Y, &asked.scaleY) || asked.scaleX < kMinScale ||
                asked.scaleX > kMaxScale || asked.scaleY < kMinScale || asked.scaleY > kMaxScale) {
                MessageBeep(MB_ICONEXCLAMATION);
                return TRUE;
            }
            g_asked = asked;
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 2);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

int DoScaleRotateDialogForCrop(HWND dialog, GraphicPlacement& placement) {
    if (ResDialogBox(dialog, ScaleDialogProc, "CROPSCALE") != 1)
        return 2;
    return ScaleRotatePlacedPicture(placement, g_asked.angle, g_asked.scaleX / 100, g_asked.scaleY / 100) ? 1 : 2;
}

bool ScaleRotatePlacedPicture(GraphicPlacement& p, double angle, double scaleX, double scaleY) {
    BITMAP info = {};
    if (!p.picture || !GetObject(p.picture, sizeof info, &info))
        return false;
    WaitCursor wait;
    // An all-white mask: the whole picture turns.
    HBITMAP mask = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    if (!mask)
        return false;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, info.bmWidth, info.bmHeight, WHITENESS);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // The corners a turn uncovers take the colour chosen in the colour palettes (a pattern has
    // no one colour: white).
    const int16_t chosen = GetToolColor('f');
    const COLORREF fill = chosen >= 0 ? PaletteIndexToColor(chosen) : RGB(255, 255, 255);
    HBITMAP turned = nullptr, turnedMask = nullptr;
    const bool made = RotateScaleBitmap(p.picture, mask, angle, scaleX, scaleY, fill, &turned, &turnedMask);
    DeleteObject(mask);
    if (turnedMask)
        DeleteObject(turnedMask);
    if (!made || !turned)
        return false;
    if (p.undoPicture)
        DeleteObject(p.undoPicture);
    p.undoPicture = p.picture;
    p.picture = turned;
    return true;
}
