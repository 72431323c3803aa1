// "BUTTONDLG", the button appearance dialog, over the spare record (Buttons.h).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry_win.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "objects/IconChooser.h"
#include "objects/ObjectInfo.h"
#include "objects/buttons/Buttons.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "resources/buttons_ids.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"

namespace {

enum : uint32_t { kAlertWhere = 2328, kAlertNeedsShape = 2263, kAlertPencil = 2203 };
constexpr int kButtonNameChars = kButtonNameBytes - 1;
// The "BUTTONS" bitmap shows the eight shapes in two columns of four rows: shape = column + 2 x row.
constexpr int kShapeColumns = 2, kShapeRows = 4;

struct DialogState {
    Handle spare = 0;
    HBITMAP shapes = nullptr;
    RECT savedBounds = {};
    bool editing = false;
};

// The open dialog's state, kept with it from WM_INITDIALOG on.
DialogState& StateOf(HWND dialog) { return *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The dialog's spare, locked for one scope.
class Spare : public SpareLock {
public:
    explicit Spare(HWND dialog) : SpareLock(StateOf(dialog).spare) {}
};


// Where the shape bitmap lies in the dialog: centred in its frame.
RECT ShapesRect(HWND dialog) {
    BITMAP info{};
    const HBITMAP shapes = StateOf(dialog).shapes;
    if (!shapes || !GetObjectA(shapes, sizeof info, &info))
        return {};
    const RECT frame = DialogItemRect(dialog, IDC_BUTTON_SHAPES);
    const int left = frame.left + (frame.right - frame.left - info.bmWidth) / 2;
    const int top = frame.top + (frame.bottom - frame.top - info.bmHeight) / 2;
    return {left, top, left + info.bmWidth, top + info.bmHeight};
}

void Refresh(HWND dialog) {
    for (int id : {IDC_BUTTON_SHAPES, IDC_BUTTON_PREVIEW, IDC_BUTTON_NAME_COLORS, IDC_BUTTON_FILL_COLORS})
        InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE);
}

POINT ClientCentre(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    return {client.right / 2, client.bottom / 2};
}

void Resize(HWND dialog) {
    if (Spare s(dialog); s)
        SizeButtonAutomatically(&s.layer(), ClientCentre(dialog));
    Refresh(dialog);
}

void DrawShapes(HWND dialog, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT frame = DialogItemRect(dialog, IDC_BUTTON_SHAPES);
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const RECT r = ShapesRect(dialog);
    if (r.right <= r.left)
        return;
    MemoryDC memory(dc);
    SelectedObject bitmap(memory.get(), StateOf(dialog).shapes);
    // The item's DC starts at the item's corner.
    const int x = r.left - frame.left, y = r.top - frame.top;
    const int width = r.right - r.left, height = r.bottom - r.top;
    BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
    Spare s(dialog);
    if (!s)
        return;
    const int shape = s.layer().shape, column = shape % kShapeColumns, row = shape / kShapeColumns;
    RECT cell = {x + column * width / kShapeColumns, y + row * height / kShapeRows, x + (column + 1) * width / kShapeColumns,
                 y + (row + 1) * height / kShapeRows};
    InflateRect(&cell, -1, -1);
    if (column == kShapeColumns - 1)
        OffsetRect(&cell, -1, 0);
    InvertRect(dc, &cell);
}

void DrawPreview(HWND dialog, const DRAWITEMSTRUCT& item) {
    const RECT area = item.rcItem;
    const int width = area.right - area.left, height = area.bottom - area.top;
    MemoryDC memory(item.hDC);
    HBITMAP canvas = CreateCompatibleBitmap(item.hDC, width, height);
    if (!memory || !canvas)
        return;
    {
        SelectedObject selected(memory.get(), canvas);
        RECT all = {0, 0, width, height};
        FillRect(memory.get(), &all, GetSysColorBrush(COLOR_WINDOW));
        HPALETTE palette = GetAppPalette();
        HPALETTE old = palette ? SelectPalette(memory.get(), palette, FALSE) : nullptr;
        if (palette)
            RealizePalette(memory.get());
        if (Spare s(dialog); s) {
            ButtonLayer shown = s.layer();
            RECT& b = shown.common.bounds;
            const int w = b.right - b.left, h = b.bottom - b.top;
            const bool masked = IsMaskedButtonShape(shown.shape);
            const int left = masked ? 1 : (width - w) / 2, top = masked ? 1 : (height - h) / 2;
            b = {left, top, left + w, top + h};
            shown.beingEdited = 0;
            DrawButton(memory.get(), &shown, nullptr);
        }
        if (old)
            SelectPalette(memory.get(), old, FALSE);
        BitBlt(item.hDC, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    DeleteObject(canvas);
}

void InitDialog(HWND dialog) {
    DialogState& state = StateOf(dialog);
    state.shapes = LoadBitmapA(GetAppInstance(), "BUTTONS");
    CenterWindowOnScreen(dialog);
    SendDlgItemMessageA(dialog, IDC_BUTTON_NAME, EM_LIMITTEXT, kButtonNameChars, 0);
    const ButtonDefaults& defaults = CurrentButtonDefaults();
    {
        Spare s(dialog);
        if (!s)
            return;
        ButtonLayer& b = s.layer();
        // Kept before the name is set: its change notice sizes the copy for the preview.
        state.savedBounds = b.common.bounds;
        SetDlgItemTextA(dialog, IDC_BUTTON_NAME, b.name);
        state.editing = s->editedLayer != 0;
        if (s->showNameChoice < 0)
            s->showNameChoice = defaults.showName;
        if (s->highlightChoice < 0)
            s->highlightChoice = defaults.highlight;
        b.styleHas8 = s->showNameChoice ? 1 : 0;
        b.styleLacks4 = s->highlightChoice ? 1 : 0;
        SetItemChecked(dialog, IDC_BUTTON_SHOW_ICON, b.showIcon && b.icon);
        SetItemChecked(dialog, IDC_BUTTON_SHOW_NAME, b.styleHas8);
        SetItemChecked(dialog, IDC_BUTTON_HIGHLIGHT, b.styleLacks4);
    }
    if (!state.editing)
        ShowWindow(GetDlgItem(dialog, IDC_BUTTON_ACTIONS), SW_HIDE);
    if (!IsAdvancedUser()) {
        ShowWindow(GetDlgItem(dialog, IDC_BUTTON_FEATURES), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_BUTTON_FORMAT), SW_HIDE);
    }
    Resize(dialog);
    HWND name = GetDlgItem(dialog, IDC_BUTTON_NAME);
    SetFocus(name);
    SendMessageA(name, EM_SETSEL, 0, -1);
}

void ChooseShape(HWND dialog, int x, int y) {
    const RECT r = ShapesRect(dialog);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (x < r.left || x >= r.right || y < r.top || width < kShapeColumns || height < kShapeRows)
        return;
    const int column = std::min(static_cast<int>(x - r.left) / (width / kShapeColumns), kShapeColumns - 1);
    const int row = std::min(static_cast<int>(y - r.top) / (height / kShapeRows), kShapeRows - 1);
    const int shape = column + kShapeColumns * row;
    {
        Spare s(dialog);
        if (!s)
            return;
        ButtonLayer& b = s.layer();
        const int old = b.shape;
        b.shape = static_cast<int16_t>(shape);
        s->shapeDrawn = 0;
        if (IsFramedButtonShape(shape)) {
            b.styleHas8 = 1;
            if (old == kButtonShapeInvisible)
                b.styleLacks4 = 1;
        } else if (shape == kButtonShapeInvisible && old != kButtonShapeInvisible) {
            b.styleLacks4 = 0;
            b.styleHas8 = 0;
        } else if (IsMaskedButtonShape(shape) && old != shape) {
            b.styleHas8 = 0;
        }
        SetItemChecked(dialog, IDC_BUTTON_SHOW_NAME, b.styleHas8);
        SetItemChecked(dialog, IDC_BUTTON_HIGHLIGHT, b.styleLacks4);
    }
    Resize(dialog);
}

// The chooser's icon becomes the button's.
bool TakeChosenIcon(HWND dialog) {
    Spare s(dialog);
    if (!s)
        return false;
    ButtonLayer& b = s.layer();
    DisposeHandle(b.icon);
    // Where the icon came from is kept with it: Features... may replace the selection later.
    const IconSelection* selection = GetIconSelection();
    s->iconInStack = selection->mode && selection->fromStack ? selection->id : 0;
    b.icon = TakeIconSelectionData();
    b.showIcon = b.icon ? 1 : 0;
    s->iconChanged = b.icon ? 1 : 0;
    SetItemChecked(dialog, IDC_BUTTON_SHOW_ICON, b.showIcon);
    return b.icon != 0;
}

uint16_t CurrentIconId(HWND dialog) {
    Spare s(dialog);
    if (!s || !s->editedLayer)
        return 0;
    Handle card = 0;
    uint32_t at = 0;
    if (!FindObject(kObjectButton, s.layer().common.id, &card, &at))
        return 0;
    HandleLock lock(card);
    return lock ? GetU16(lock.bytes().subspan(at), kButtonIconId) : 0;
}

void ShowIconClicked(HWND dialog) {
    bool wantChooser = false;
    {
        Spare s(dialog);
        if (!s)
            return;
        s.layer().showIcon = IsItemChecked(dialog, IDC_BUTTON_SHOW_ICON) ? 1 : 0;
        wantChooser = s.layer().showIcon && !s.layer().icon;
    }
    if (wantChooser && !(RunIconChooser(dialog, true, CurrentIconId(dialog)) && TakeChosenIcon(dialog))) {
        Spare s(dialog);
        if (s)
            s.layer().showIcon = 0;
        SetItemChecked(dialog, IDC_BUTTON_SHOW_ICON, false);
    }
    Resize(dialog);
}

void RunFeatures(HWND dialog) {
    uint16_t flags = 0, cursor = 0, id = 0;
    LayerName subject{};
    {
        Spare s(dialog);
        if (!s)
            return;
        flags = s.layer().flags;
        cursor = s.layer().cursorId;
        id = s.layer().common.id;
        subject = s->subject;
    }
    LayerHandle layer = StateOf(dialog).editing ? FindNamedLayer(subject) : nullptr;
    if (ShowItemInfo(dialog, kObjectButton, id, &flags, &cursor, layer) == IDOK) {
        Spare s(dialog);
        if (s) {
            s.layer().flags = flags;
            s.layer().cursorId = cursor;
        }
    }
}

void RunFormat(HWND dialog) {
    LOGFONTA font{};
    uint16_t color = 0;
    {
        Spare s(dialog);
        if (!s)
            return;
        font = s.layer().font;
        color = s.layer().colorIndex;
    }
    if (!ChooseButtonNameFont(dialog, &font, &color))
        return;
    if (Spare s(dialog); s) {
        s.layer().font = font;
        s.layer().colorIndex = color;
    }
    Resize(dialog);
}

void RememberChoices(HWND dialog, bool colours) {
    Spare s(dialog);
    if (!s)
        return;
    ButtonDefaults& defaults = CurrentButtonDefaults();
    defaults.showName = s.layer().styleHas8 != 0;
    defaults.highlight = s.layer().styleLacks4 != 0;
    defaults.shape = s.layer().shape;
    if (colours) {
        defaults.nameColor = s.layer().colorIndex;
        defaults.fillColor = s.layer().secondColorIndex;
    }
}

void EndDialogWith(HWND dialog, int result) {
    DialogState& state = StateOf(dialog);
    if (state.shapes)
        DeleteObject(state.shapes);
    state.shapes = nullptr;
    EndDialog(dialog, result);
}

// A button on the card keeps its place: the dialog's preview sized the copy's rectangle.
void KeepPlace(HWND dialog, Spare& s) {
    if (!IsMaskedButtonShape(s.layer().shape))
        s.layer().common.bounds = StateOf(dialog).savedBounds;
}

void OkOnExisting(HWND dialog) {
    const DialogState& state = StateOf(dialog);
    RememberChoices(dialog, false);
    bool needsShape = false;
    {
        Spare s(dialog);
        if (!s)
            return;
        needsShape = IsMaskedButtonShape(s.layer().shape) && !s->shapeDrawn;
        if (!needsShape)
            KeepPlace(dialog, s);
    }
    if (needsShape) {
        ShowAlertOn(dialog, kAlertNeedsShape);
        StartButtonPlacement(state.spare, kPlaceGiveShape);
    } else {
        // An edited button is found again by its name there: a timer or a module may have left
        // its card or stack under the dialog.
        CommitButtonDialog(state.spare, true, IDOK);
    }
    EndDialogWith(dialog, IDOK);
}

// OK on a new button, or Position on any.
void OkOrPosition(HWND dialog, int pressed) {
    int shape = 0;
    bool drawn = false;
    {
        Spare s(dialog);
        if (!s)
            return;
        shape = s.layer().shape;
        drawn = s->shapeDrawn != 0;
    }
    if (!IsMaskedButtonShape(shape))
        MascotMessageBox(dialog, kAlertWhere, true, false, 0);
    else if (pressed == IDOK && !drawn)
        ShowAlertOn(dialog, kAlertNeedsShape);
    RememberChoices(dialog, true);
    {
        Spare s(dialog);
        RECT& b = s.layer().common.bounds;
        if (drawn) {
            b = StateOf(dialog).savedBounds;
        } else {
            b = CentredOnCard(GetCardWindow(), b.right - b.left, b.bottom - b.top);
        }
    }
    if (pressed == IDOK && drawn) {
        EndDialogWith(dialog, IDOK);
        return;
    }
    StartButtonPlacement(StateOf(dialog).spare, pressed == IDOK ? kPlaceNewButton : kPlacePosition);
    if (IsMaskedButtonShape(shape) && !IsAdvancedUser()) {
        ShowWindow(dialog, SW_HIDE);
        ShowAlertOn(GetCardWindow(), kAlertPencil + static_cast<uint32_t>(shape - kButtonShapePencil));
    }
    EndDialogWith(dialog, pressed);
}

void Cancel(HWND dialog) {
    if (Spare s(dialog); s)
        DisposeHandleAndClear(&s.layer().icon);
    CommitButtonDialog(StateOf(dialog).spare, false, IDCANCEL);
    EndDialogWith(dialog, IDCANCEL);
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_BUTTON_NAME:
        if (code == EN_CHANGE) {
            if (Spare s(dialog); s) {
                ButtonLayer& b = s.layer();
                GetDlgItemTextA(dialog, IDC_BUTTON_NAME, b.name, kButtonNameChars + 1);
                b.nameLength = static_cast<uint8_t>(std::strlen(b.name));
            }
            Resize(dialog);
        }
        return TRUE;
    case IDC_BUTTON_SHOW_NAME:
        if (Spare s(dialog); s)
            s.layer().styleHas8 = IsItemChecked(dialog, IDC_BUTTON_SHOW_NAME) ? 1 : 0;
        Resize(dialog);
        return TRUE;
    case IDC_BUTTON_HIGHLIGHT:
        if (Spare s(dialog); s)
            s.layer().styleLacks4 = IsItemChecked(dialog, IDC_BUTTON_HIGHLIGHT) ? 1 : 0;
        Refresh(dialog);
        return TRUE;
    case IDC_BUTTON_SHOW_ICON: ShowIconClicked(dialog); return TRUE;
    case IDC_BUTTON_ICONS:
        if (RunIconChooser(dialog, true, CurrentIconId(dialog)))
            TakeChosenIcon(dialog);
        Resize(dialog);
        return TRUE;
    case IDC_BUTTON_FORMAT: RunFormat(dialog); return TRUE;
    case IDC_BUTTON_FEATURES: RunFeatures(dialog); return TRUE;
    case IDC_BUTTON_ACTIONS:
        RememberChoices(dialog, false);
        if (Spare s(dialog); s)
            KeepPlace(dialog, s);
        EndDialogWith(dialog, kButtonDialogActions);
        return TRUE;
    case IDC_BUTTON_POSITION: OkOrPosition(dialog, kButtonDialogPosition); return TRUE;
    case IDOK:
        if (StateOf(dialog).editing)
            OkOnExisting(dialog);
        else
            OkOrPosition(dialog, IDOK);
        return TRUE;
    case IDCANCEL: Cancel(dialog); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK ButtonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!KeptDialogState<DialogState>(dialog, message, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: InitDialog(dialog); return FALSE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        Spare s(dialog);
        if (!s)
            return FALSE;
        const uint16_t nameColor = s.layer().colorIndex, fillColor = s.layer().secondColorIndex;
        switch (wParam) {
        case IDC_BUTTON_SHAPES: DrawShapes(dialog, item); return TRUE;
        case IDC_BUTTON_PREVIEW: DrawPreview(dialog, item); return TRUE;
        case IDC_BUTTON_NAME_COLORS: DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, nameColor); return TRUE;
        case IDC_BUTTON_FILL_COLORS: DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, fillColor); return TRUE;
        default: return FALSE;
        }
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const BOOL more = message == WM_LBUTTONDBLCLK;
        const DWORD point = static_cast<DWORD>(lParam);
        uint16_t nameColor = 0, fillColor = 0;
        {
            Spare s(dialog);
            if (!s)
                return FALSE;
            nameColor = s.layer().colorIndex;
            fillColor = s.layer().secondColorIndex;
        }
        if (TrackColorPopup(dialog, point, IDC_BUTTON_NAME_COLORS, &nameColor, more)) {
            if (Spare s(dialog); s)
                s.layer().colorIndex = nameColor;
        } else if (TrackColorPopup(dialog, point, IDC_BUTTON_FILL_COLORS, &fillColor, more)) {
            if (Spare s(dialog); s)
                s.layer().secondColorIndex = fillColor;
        } else {
            ChooseShape(dialog, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        }
        Refresh(dialog);
        return TRUE;
    }
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

}  // namespace

int RunButtonAppearanceDialog(HWND window, Handle spare) {
    const EditorGuard guard;
    DialogState state{.spare = spare};
    const INT_PTR result = ResDialogBoxParam(window, ButtonDialogProc, "BUTTONDLG", reinterpret_cast<LPARAM>(&state));
    if (state.shapes)
        DeleteObject(state.shapes);
    return static_cast<int>(result);
}

void SizeButtonAutomatically(ButtonLayer* b, POINT centre) {
    if (IsMaskedButtonShape(b->shape) && b->freehandMask)
        return;
    MemoryDC dc(nullptr);
    HFONT font = CreateFontIndirectA(&b->font);
    if (!dc || !font) {
        if (font)
            DeleteObject(font);
        return;
    }
    double halfWidth = 0, halfHeight = 0;
    {
        SelectedObject selected(dc.get(), font);
        SIZE m{}, name{};
        GetTextExtentPoint32A(dc.get(), "M", 1, &m);
        if (b->styleHas8)
            GetTextExtentPoint32A(dc.get(), b->name, static_cast<int>(std::strlen(b->name)), &name);
        const int L = m.cy, w = m.cx;
        halfWidth = name.cx / 2.0 + w;
        halfHeight = L;
        if (b->shape == kButtonShapeDefault) {
            halfWidth += 4;
            halfHeight += 3;
        }
        if (b->showIcon && b->icon) {
            const uint32_t size = GetIconSize(b->icon);
            const int iconWidth = size & 0xFFFF, iconHeight = size >> 16;
            halfWidth = std::max(halfWidth, iconWidth / 2.0 + 2 * w);
            halfHeight = iconHeight / 2.0 + L / 4.0 + halfHeight;
        }
    }
    DeleteObject(font);
    const int hw = static_cast<int>(halfWidth), hh = static_cast<int>(halfHeight);
    b->common.bounds = {centre.x - hw, centre.y - hh, centre.x + hw, centre.y + hh};
}
