// The "CPICK" dialog: six number fields read every half second, arrows, a brightness slider and
// the hue/saturation wheel with its inverted marker.
#include <windowsx.h>

#include <array>
#include <cmath>
#include <vector>

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/WindowUtils.h"
#include "cardview/colors/ColorChooser.h"
#include "resources/colors_ids.h"

namespace {

constexpr UINT_PTR kFieldTimer = 2;
constexpr UINT kFieldPeriodMs = 500;
constexpr int kSliderTop = 100;
constexpr int kMarkerNear = 2;
constexpr int kMarkerFar = 8;
constexpr double kReach = 10000;

// The chooser the open dialog works on, kept with it from WM_INITDIALOG on.
ChooserState& ChooserOf(HWND dialog) { return *DialogStateOf<ChooserState>(dialog); }

// Field order of ChooserField.
constexpr std::array<int, 6> kFieldIds{IDC_CPICK_HUE, IDC_CPICK_SATURATION, IDC_CPICK_BRIGHTNESS,
                                       IDC_CPICK_RED, IDC_CPICK_GREEN, IDC_CPICK_BLUE};
constexpr std::array<int, 6> kArrowIds{IDC_CPICK_HUE_ARROWS, IDC_CPICK_SATURATION_ARROWS, IDC_CPICK_BRIGHTNESS_ARROWS,
                                       IDC_CPICK_RED_ARROWS, IDC_CPICK_GREEN_ARROWS, IDC_CPICK_BLUE_ARROWS};

std::array<int, 6> ValuesOf(const ChooserState& s) {
    return {s.hsb.hue, s.hsb.saturation, s.hsb.brightness, s.current.red, s.current.green, s.current.blue};
}

void SetValues(ChooserState& s, const std::array<int, 6>& v) {
    s.hsb = {v[kFieldHue], v[kFieldSaturation], v[kFieldBrightness]};
    s.current = {static_cast<uint8_t>(v[kFieldRed]), static_cast<uint8_t>(v[kFieldGreen]),
                 static_cast<uint8_t>(v[kFieldBlue])};
}

void WriteFields(HWND dialog, const ChooserState& s, int first, int last) {
    const std::array<int, 6> values = ValuesOf(s);
    for (int i = first; i <= last; ++i)
        SetDlgItemInt(dialog, kFieldIds[static_cast<size_t>(i)], static_cast<UINT>(values[static_cast<size_t>(i)]),
                      FALSE);
}

void WriteAll(HWND dialog, const ChooserState& s) {
    WriteFields(dialog, s, kFieldHue, kFieldBlue);
    SetScrollPos(GetDlgItem(dialog, IDC_CPICK_SLIDER), SB_CTL, kSliderTop - s.hsb.brightness, TRUE);
}

// What a colour is drawn with: the chooser palette's entry on an 8-bit display, the colour cut
// to five bits a channel on a 16-bit one, else the colour itself.
COLORREF DrawColor(int entry, ChooserRgb c) {
    const int depth = GetDisplayBitsPerPixel();
    if (depth == 8)
        return PALETTEINDEX(entry);
    if (depth == 16)
        return RGB(c.red & 0xF8, c.green & 0xF8, c.blue & 0xF8);
    return RGB(c.red, c.green, c.blue);
}

WheelRect WheelOf(HWND dialog) {
    RECT r{};
    GetClientRect(GetDlgItem(dialog, IDC_CPICK_WHEEL), &r);
    return {r.left, r.top, r.right, r.bottom};
}

// A point of the dialog's client area in the wheel item's coordinates.
POINT InWheel(HWND dialog, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(dialog, GetDlgItem(dialog, IDC_CPICK_WHEEL), &p, 1);
    return p;
}

// On an 8-bit display the chooser palette is selected and realized in each DC drawn on.
class ChooserDC {
public:
    ChooserDC(HDC dc, const ChooserState& s) : palette_(dc, s.palette, SelectedPalette::kIfIndexed) {
        if (GetDisplayBitsPerPixel() == 8)
            RealizePalette(dc);
    }

private:
    SelectedPalette palette_;
};

void FillWith(HDC dc, const RECT& r, COLORREF color) {
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.get());
}

void DrawSwatches(HDC dc, const RECT& r, const ChooserState& s) {
    ChooserDC chosen(dc, s);
    const int middle = r.top + (r.bottom - r.top) / 2;
    FillWith(dc, {r.left, r.top, r.right, middle}, DrawColor(0, s.original));
    FillWith(dc, {r.left, middle, r.right, r.bottom}, DrawColor(1, s.current));
}

POINT Radial(const WheelRect& w, double angle) {
    const int cx = w.left + (w.right - w.left) / 2;
    const int cy = w.top + (w.bottom - w.top) / 2;
    return {cx + static_cast<int>(std::cos(angle) * kReach), cy - static_cast<int>(std::sin(angle) * kReach)};
}

void DrawWheel(HDC dc, const WheelRect& wheel, const ChooserState& s) {
    ChooserDC chosen(dc, s);
    const int d = s.divisions;
    const std::vector<ChooserRgb> colors = ChooserPaletteColors(d, s.original, s.current, s.hsb.brightness);
    for (int k = 0; k < d; ++k) {
        const WheelRect ring = WheelRingRect(wheel, d, k);
        for (int sector = 0; sector < 4 * d; ++sector) {
            const int entry = 2 + sector * d + k;
            const COLORREF color = DrawColor(entry, colors[static_cast<size_t>(entry)]);
            OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
            OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
            SelectedObject b(dc, brush.get());
            SelectedObject p(dc, pen.get());
            const POINT from = Radial(wheel, WheelSectorAngle(d, sector));
            const POINT to = Radial(wheel, WheelSectorAngle(d, sector + 1));
            Pie(dc, ring.left, ring.top, ring.right, ring.bottom, from.x, from.y, to.x, to.y);
        }
    }
}

void ToggleMarkerOn(HDC dc, const WheelRect& wheel, ChooserState& s) {
    const WheelPoint at = WheelMarkerPoint(wheel, s.hsb.hue, s.hsb.saturation);
    const int previous = SetROP2(dc, R2_NOT);
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    const std::array<POINT, 4> arms{POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}};
    for (const POINT& arm : arms) {
        MoveToEx(dc, at.x + arm.x * kMarkerNear, at.y + arm.y * kMarkerNear, nullptr);
        LineTo(dc, at.x + arm.x * kMarkerFar, at.y + arm.y * kMarkerFar);
    }
    SetROP2(dc, previous);
    s.markerShown = !s.markerShown;
}

void SetMarker(HWND dialog, bool shown) {
    if (ChooserOf(dialog).markerShown == shown)
        return;
    HWND item = GetDlgItem(dialog, IDC_CPICK_WHEEL);
    WindowDC dc(item);
    if (dc)
        ToggleMarkerOn(dc.get(), WheelOf(dialog), ChooserOf(dialog));
}

// The chooser palette's wheel entries follow the brightness (seen on an 8-bit display).
void UpdateChooserPalette(ChooserState& s) {
    const std::vector<ChooserRgb> colors = ChooserPaletteColors(s.divisions, s.original, s.current, s.hsb.brightness);
    std::vector<PALETTEENTRY> entries(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        entries[i] = {colors[i].red, colors[i].green, colors[i].blue, PC_RESERVED};
    if (s.palette)
        SetPaletteEntries(s.palette, 0, static_cast<UINT>(entries.size()), entries.data());
}

void RedrawItem(HWND dialog, int id) {
    RedrawWindow(GetDlgItem(dialog, id), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// After any change: the wheel when the brightness moved, the new swatch, the marker.
void ShowChange(HWND dialog, int oldBrightness) {
    ChooserState& s = ChooserOf(dialog);
    UpdateChooserPalette(s);
    if (s.hsb.brightness != oldBrightness)
        RedrawItem(dialog, IDC_CPICK_WHEEL);
    RedrawItem(dialog, IDC_CPICK_SWATCHES);
    if (!s.dragging)
        SetMarker(dialog, true);
}

int ReadField(HWND dialog, int field) {
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(dialog, kFieldIds[static_cast<size_t>(field)], &ok, FALSE);
    return ClampChooserField(static_cast<ChooserField>(field), ok ? static_cast<long>(value) : 0);
}

void OnFieldTimer(HWND dialog) {
    ChooserState& s = ChooserOf(dialog);
    std::array<int, 6> typed{};
    for (int i = 0; i < 6; ++i)
        typed[static_cast<size_t>(i)] = ReadField(dialog, i);
    const std::array<int, 6> now = ValuesOf(s);
    const bool rgbChanged = typed[kFieldRed] != now[kFieldRed] || typed[kFieldGreen] != now[kFieldGreen] ||
                            typed[kFieldBlue] != now[kFieldBlue];
    const bool hsbChanged = typed[kFieldHue] != now[kFieldHue] || typed[kFieldSaturation] != now[kFieldSaturation] ||
                            typed[kFieldBrightness] != now[kFieldBrightness];
    if (!rgbChanged && !hsbChanged)
        return;
    const int oldBrightness = s.hsb.brightness;
    SetMarker(dialog, false);
    if (rgbChanged) {
        s.current = {static_cast<uint8_t>(typed[kFieldRed]), static_cast<uint8_t>(typed[kFieldGreen]),
                     static_cast<uint8_t>(typed[kFieldBlue])};
        s.hsb = RgbToHsb(s.current);
        WriteFields(dialog, s, kFieldHue, kFieldBrightness);
    } else {
        s.hsb = {typed[kFieldHue], typed[kFieldSaturation], typed[kFieldBrightness]};
        s.current = HsbToRgb(s.hsb);
        WriteFields(dialog, s, kFieldRed, kFieldBlue);
        // A typed hue of 360 converts as 0, and the field says so.
        if (s.hsb.hue == 360) {
            s.hsb.hue = 0;
            WriteFields(dialog, s, kFieldHue, kFieldHue);
        }
    }
    SetScrollPos(GetDlgItem(dialog, IDC_CPICK_SLIDER), SB_CTL, kSliderTop - s.hsb.brightness, TRUE);
    ShowChange(dialog, oldBrightness);
}

void OnScroll(HWND dialog, HWND bar, int code, int thumb) {
    ChooserState& s = ChooserOf(dialog);
    const int id = GetDlgCtrlID(bar);
    std::array<int, 6> values = ValuesOf(s);
    int changed = -1;
    if (id == IDC_CPICK_SLIDER) {
        int brightness = s.hsb.brightness;
        switch (code) {
        case SB_LINEUP: brightness += 1; break;
        case SB_LINEDOWN: brightness -= 1; break;
        case SB_PAGEUP: brightness += 10; break;
        case SB_PAGEDOWN: brightness -= 10; break;
        case SB_THUMBTRACK: brightness = kSliderTop - thumb; break;
        default: return;
        }
        values[kFieldBrightness] = ClampChooserField(kFieldBrightness, brightness);
        changed = kFieldBrightness;
    } else {
        for (int i = 0; i < 6; ++i)
            if (kArrowIds[static_cast<size_t>(i)] == id)
                changed = i;
        if (changed < 0 || (code != SB_LINEUP && code != SB_LINEDOWN))
            return;
        values[static_cast<size_t>(changed)] =
            StepChooserField(static_cast<ChooserField>(changed), values[static_cast<size_t>(changed)],
                             code == SB_LINEUP ? 1 : -1);
    }
    SetMarker(dialog, false);
    const int oldBrightness = s.hsb.brightness;
    SetValues(s, values);
    if (changed >= kFieldRed)
        s.hsb = RgbToHsb(s.current);
    else
        s.current = HsbToRgb(s.hsb);
    WriteAll(dialog, s);
    ShowChange(dialog, oldBrightness);
}

void PickOnWheel(HWND dialog, POINT p) {
    ChooserState& s = ChooserOf(dialog);
    s.hsb = WheelPick(WheelOf(dialog), p.x, p.y, s.hsb);
    s.current = HsbToRgb(s.hsb);
    WriteAll(dialog, s);
    RedrawItem(dialog, IDC_CPICK_SWATCHES);
}

bool DrawItem(HWND dialog, const DRAWITEMSTRUCT& item) {
    ChooserState& s = ChooserOf(dialog);
    if (item.CtlID == IDC_CPICK_SWATCHES) {
        DrawSwatches(item.hDC, item.rcItem, s);
        return true;
    }
    if (item.CtlID != IDC_CPICK_WHEEL)
        return false;
    const WheelRect wheel = WheelOf(dialog);
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawWheel(item.hDC, wheel, s);
    s.markerShown = false;
    if (!s.dragging)
        ToggleMarkerOn(item.hDC, wheel, s);
    return true;
}

void OpenChooser(HWND dialog) {
    ChooserState& s = ChooserOf(dialog);
    s.paletteSelected = false;
    s.dragging = false;
    s.markerShown = false;
    SetScrollRange(GetDlgItem(dialog, IDC_CPICK_SLIDER), SB_CTL, 0, kSliderTop, FALSE);
    // The arrows only step; a middle position keeps both of them live.
    for (int id : kArrowIds) {
        SetScrollRange(GetDlgItem(dialog, id), SB_CTL, 0, 2, FALSE);
        SetScrollPos(GetDlgItem(dialog, id), SB_CTL, 1, FALSE);
    }
    CenterWindowOnScreen(dialog);
    WriteAll(dialog, s);
    SetTimer(dialog, kFieldTimer, kFieldPeriodMs, nullptr);
}

}  // namespace

INT_PTR CALLBACK ColorChooserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ChooserState* kept = KeptDialogState<ChooserState>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    ChooserState& s = *kept;
    switch (message) {
    case WM_INITDIALOG:
        OpenChooser(dialog);
        return TRUE;
    case WM_DRAWITEM:
        return DrawItem(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_TIMER:
        if (wParam == kFieldTimer)
            OnFieldTimer(dialog);
        return TRUE;
    case WM_VSCROLL:
        OnScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return TRUE;
    case WM_SETCURSOR: {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(GetDlgItem(dialog, IDC_CPICK_WHEEL), &p);
        if (s.cursor && (s.dragging || PointInWheel(WheelOf(dialog), p.x, p.y))) {
            SetCursor(s.cursor);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_LBUTTONDOWN: {
        const POINT p = InWheel(dialog, lParam);
        if (!PointInWheel(WheelOf(dialog), p.x, p.y))
            return FALSE;
        SetMarker(dialog, false);
        s.dragging = true;
        SetCapture(dialog);
        PickOnWheel(dialog, p);
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (s.dragging)
            PickOnWheel(dialog, InWheel(dialog, lParam));
        return TRUE;
    case WM_LBUTTONUP:
        if (!s.dragging)
            return FALSE;
        s.dragging = false;
        ReleaseCapture();
        SetMarker(dialog, true);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            KillTimer(dialog, kFieldTimer);
            s.dragging = false;
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    default:
        return FALSE;
    }
}
