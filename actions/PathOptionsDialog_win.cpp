// The "PATHOPTIONS" dialog over the sprite header being edited (actions/PathOptions.h).
#include "actions/PathOptions.h"

#include <array>

#include "core/system/PluginModule.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/pathoptions_ids.h"

namespace {

constexpr int kFaces = 3;  // normal (off), pressed (on), disabled
constexpr int kLineAbove = 15;

constexpr std::array<const char*, 4> kLeftNames = {"IDB_ANIM_BEGINLEFT", "IDB_ANIM_ENDLEFT",
                                                   "IDB_ANIM_REVERSELEFT", "IDB_ANIM_LOOPLEFT"};
constexpr std::array<const char*, 4> kRightNames = {"IDB_ANIM_BEGINRIGHT", "IDB_ANIM_ENDRIGHT",
                                                    "IDB_ANIM_REVERSERIGHT", "IDB_ANIM_LOOPRIGHT"};

// The dialog's working record, kept with the open dialog.
struct PathDialog {
    Handle sprite = 0;
    PathOptionsState state;
    std::array<HBITMAP, 4> left{}, right{};
    HBITMAP flipLR = nullptr, flipTB = nullptr, playOver = nullptr, playBehind = nullptr;
};

// What the End button showed when the dialog last closed (a path without a direction yet
// shows it again); it starts at Stop.
int g_keptEnd = kEndStop;


void FreePathBitmaps(PathDialog& d) {
    for (HBITMAP& b : d.left) {
        DeleteObject(b);
        b = nullptr;
    }
    for (HBITMAP& b : d.right) {
        DeleteObject(b);
        b = nullptr;
    }
    for (HBITMAP* b : {&d.flipLR, &d.flipTB, &d.playOver, &d.playBehind}) {
        DeleteObject(*b);
        *b = nullptr;
    }
}


// Enables what the end states allow and repaints the owner-drawn parts.
void RefreshPathControls(HWND dialog, const PathOptionsState& s) {
    const bool returning = ReturningEnabled(s);
    EnableWindow(GetDlgItem(dialog, IDC_PATH_FLOAT_RETURNING), returning);
    EnableWindow(GetDlgItem(dialog, IDC_PATH_DONTERASE_RETURNING), returning);
    EnableWindow(GetDlgItem(dialog, IDC_PATH_BEGIN_FLIPLR), BeginTogglesEnabled(s));
    EnableWindow(GetDlgItem(dialog, IDC_PATH_BEGIN_FLIPTB), BeginTogglesEnabled(s));
    EnableWindow(GetDlgItem(dialog, IDC_PATH_END_FLIPLR), EndTogglesEnabled(s));
    EnableWindow(GetDlgItem(dialog, IDC_PATH_END_FLIPTB), EndTogglesEnabled(s));
    EnableWindow(GetDlgItem(dialog, IDC_PATH_START_HERE), s.startHereEnabled);
    for (int id : {IDC_PATH_BEGIN_BUTTON, IDC_PATH_END_BUTTON, IDC_PATH_BEGIN_FLIPLR, IDC_PATH_BEGIN_FLIPTB,
                   IDC_PATH_END_FLIPLR, IDC_PATH_END_FLIPTB})
        InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE);
    InvalidateRect(dialog, nullptr, TRUE);
}

// Loads the end-state, mirror and picture bitmaps, sizes the end buttons and toggles to one
// face and lines the two end buttons up for the joining line.
void LoadPathOptionsBitmaps(HWND dialog, PathDialog& d) {
    for (size_t i = 0; i < kLeftNames.size(); ++i) {
        d.left[i] = ResLoadBitmap(kLeftNames[i]);
        d.right[i] = ResLoadBitmap(kRightNames[i]);
    }
    d.flipLR = ResLoadBitmap("IDB_ANIM_FLIPLR");
    d.flipTB = ResLoadBitmap("IDB_ANIM_FLIPTB");
    d.playOver = ResLoadBitmap("IDB_ANIM_PLAYOVER");
    d.playBehind = ResLoadBitmap("IDB_ANIM_PLAYBEHIND");
    const SIZE end = BitmapSizeOf(d.left[0]);
    const SIZE flip = BitmapSizeOf(d.flipLR);
    auto size = [&](int id, SIZE bitmap) {
        if (bitmap.cx > 0)
            SetWindowPos(GetDlgItem(dialog, id), nullptr, 0, 0, bitmap.cx / kFaces, bitmap.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    size(IDC_PATH_BEGIN_BUTTON, end);
    size(IDC_PATH_END_BUTTON, end);
    for (int id : {IDC_PATH_BEGIN_FLIPLR, IDC_PATH_BEGIN_FLIPTB, IDC_PATH_END_FLIPLR, IDC_PATH_END_FLIPTB})
        size(id, flip);
    // The End button on the Begin button's height, so that the joining line is straight.
    const RECT begin = DialogItemRect(dialog, IDC_PATH_BEGIN_BUTTON);
    const RECT last = DialogItemRect(dialog, IDC_PATH_END_BUTTON);
    SetWindowPos(GetDlgItem(dialog, IDC_PATH_END_BUTTON), nullptr, last.left, begin.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The controls from the sprite.
void InitPathOptions(HWND dialog, PathDialog& d) {
    PathOptionsState& s = d.state;
    s = ReadPathOptions(d.sprite, g_keptEnd);
    CheckRadioButton(dialog, IDC_PATH_TIMES_RADIO, IDC_PATH_ENDTOEND_RADIO, IDC_PATH_TIMES_RADIO + s.move);
    SetDlgItemInt(dialog, IDC_PATH_TIMES_EDIT, s.timesPerSecond, FALSE);
    SetDlgItemInt(dialog, IDC_PATH_SECONDS_EDIT, s.seconds, FALSE);
    SendDlgItemMessageA(dialog, IDC_PATH_SPEED_COMBO, CB_SETCURSEL, s.speed, 0);
    SendDlgItemMessageA(dialog, IDC_PATH_LAYER_COMBO, CB_SETCURSEL, s.layer, 0);
    CheckDlgButton(dialog, IDC_PATH_START_HERE, s.startHere ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PATH_FLOAT_GOING, s.floatGoing ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PATH_DONTERASE_GOING, s.dontEraseGoing ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PATH_FLOAT_RETURNING, s.floatReturning ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PATH_DONTERASE_RETURNING, s.dontEraseReturning ? BST_CHECKED : BST_UNCHECKED);
    RefreshPathControls(dialog, s);
}

// The sprite from the controls (OK).
void ApplyPathOptions(HWND dialog, PathDialog& d) {
    PathOptionsState& s = d.state;
    s.move = IsItemChecked(dialog, IDC_PATH_RECORDED_RADIO) ? kMoveRecordedSpeed
             : IsItemChecked(dialog, IDC_PATH_ENDTOEND_RADIO) ? kMoveEndToEnd
                                                        : kMoveTimesPerSecond;
    s.timesPerSecond = GetDlgItemInt(dialog, IDC_PATH_TIMES_EDIT, nullptr, FALSE);
    s.seconds = GetDlgItemInt(dialog, IDC_PATH_SECONDS_EDIT, nullptr, FALSE);
    const LRESULT speed = SendDlgItemMessageA(dialog, IDC_PATH_SPEED_COMBO, CB_GETCURSEL, 0, 0);
    s.speed = speed == CB_ERR ? kSpeedFull : static_cast<int>(speed);
    const LRESULT layer = SendDlgItemMessageA(dialog, IDC_PATH_LAYER_COMBO, CB_GETCURSEL, 0, 0);
    s.layer = layer == CB_ERR ? kLayerChoiceAny : static_cast<int>(layer);
    s.floatGoing = IsItemChecked(dialog, IDC_PATH_FLOAT_GOING);
    s.dontEraseGoing = IsItemChecked(dialog, IDC_PATH_DONTERASE_GOING);
    s.floatReturning = IsItemChecked(dialog, IDC_PATH_FLOAT_RETURNING);
    s.dontEraseReturning = IsItemChecked(dialog, IDC_PATH_DONTERASE_RETURNING);
    WritePathOptions(d.sprite, s);
}

void DrawFace(HDC dc, HBITMAP bitmap, int face, const RECT& r) {
    const SIZE size = BitmapSizeOf(bitmap);
    if (!size.cx)
        return;
    MemoryDC memory(dc);
    SelectedObject selected(memory.get(), bitmap);
    const int w = size.cx / kFaces;
    BitBlt(dc, r.left, r.top, w, size.cy, memory.get(), face * w, 0, SRCCOPY);
}

void DrawPathButton(const DRAWITEMSTRUCT& item, const PathDialog& d) {
    const PathOptionsState& s = d.state;
    const bool pressed = item.itemState & ODS_SELECTED, disabled = item.itemState & ODS_DISABLED;
    const int id = static_cast<int>(item.CtlID);
    if (id == IDC_PATH_BEGIN_BUTTON || id == IDC_PATH_END_BUTTON) {
        const bool endButton = id == IDC_PATH_END_BUTTON;
        const int state = endButton ? s.end : s.begin;
        DrawFace(item.hDC, (endButton ? d.right : d.left)[state], pressed ? 1 : disabled ? 2 : 0,
                 item.rcItem);
        if (item.itemState & ODS_FOCUS) {
            RECT r = item.rcItem;
            InflateRect(&r, -1, -1);
            const int oldColour = SetTextColor(item.hDC, RGB(255, 255, 255));
            DrawFocusRect(item.hDC, &r);
            SetTextColor(item.hDC, oldColour);
        }
        return;
    }
    bool on = false;
    switch (id) {
    case IDC_PATH_BEGIN_FLIPLR: on = s.flipBeginH; break;
    case IDC_PATH_BEGIN_FLIPTB: on = s.flipBeginV; break;
    case IDC_PATH_END_FLIPLR: on = s.flipEndH; break;
    case IDC_PATH_END_FLIPTB: on = s.flipEndV; break;
    default: return;
    }
    if (pressed)
        on = !on;
    const bool horizontal = id == IDC_PATH_BEGIN_FLIPLR || id == IDC_PATH_END_FLIPLR;
    DrawFace(item.hDC, horizontal ? d.flipLR : d.flipTB, disabled ? 2 : on ? 1 : 0, item.rcItem);
}

// The picture (left half) laid over what is there through its mask (right half).
void DrawPlayPicture(HDC dc, HBITMAP bitmap, int centreX, int lineY) {
    const SIZE size = BitmapSizeOf(bitmap);
    if (!size.cx)
        return;
    const int w = size.cx / 2, h = size.cy;
    const int x = centreX - w / 2, y = lineY - kLineAbove - h / 2;
    MemoryDC memory(dc);
    SelectedObject selected(memory.get(), bitmap);
    BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCINVERT);
    BitBlt(dc, x, y, w, h, memory.get(), w, 0, SRCAND);
    BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCINVERT);
}

void PaintPathOptions(HWND dialog, const PathDialog& d) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    const RECT begin = DialogItemRect(dialog, IDC_PATH_BEGIN_BUTTON);
    const RECT end = DialogItemRect(dialog, IDC_PATH_END_BUTTON);
    const int y = (begin.top + begin.bottom) / 2;
    RECT joining{begin.right - 5, y - 1, end.left + 1, y + 1};
    FillRect(dc, &joining, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT going = DialogItemRect(dialog, IDC_PATH_GOING_PLACE);
    const RECT returning = DialogItemRect(dialog, IDC_PATH_RETURNING_PLACE);
    DrawPlayPicture(dc, IsItemChecked(dialog, IDC_PATH_FLOAT_GOING) ? d.playOver : d.playBehind,
                    (going.left + going.right) / 2, y);
    DrawPlayPicture(dc, IsItemChecked(dialog, IDC_PATH_FLOAT_RETURNING) ? d.playOver : d.playBehind,
                    (returning.left + returning.right) / 2, y);
    EndPaint(dialog, &paint);
}

void ClosePathOptions(HWND dialog, PathDialog& d, int result) {
    g_keptEnd = ActivePathEnd(d.state);
    FreePathBitmaps(d);
    EndDialog(dialog, result);
}

void OnPathCommand(HWND dialog, PathDialog& d, int id) {
    PathOptionsState& s = d.state;
    switch (id) {
    case IDC_PATH_BEGIN_BUTTON:
    case IDC_PATH_END_BUTTON:
        if (ClickPathEnd(&s, id == IDC_PATH_END_BUTTON))
            RefreshPathControls(dialog, s);
        break;
    case IDC_PATH_START_HERE:
        SetPathStartHere(&s, IsItemChecked(dialog, IDC_PATH_START_HERE));
        RefreshPathControls(dialog, s);
        break;
    case IDC_PATH_BEGIN_FLIPLR: s.flipBeginH = !s.flipBeginH; RefreshPathControls(dialog, s); break;
    case IDC_PATH_BEGIN_FLIPTB: s.flipBeginV = !s.flipBeginV; RefreshPathControls(dialog, s); break;
    case IDC_PATH_END_FLIPLR: s.flipEndH = !s.flipEndH; RefreshPathControls(dialog, s); break;
    case IDC_PATH_END_FLIPTB: s.flipEndV = !s.flipEndV; RefreshPathControls(dialog, s); break;
    case IDC_PATH_FLOAT_GOING:
    case IDC_PATH_FLOAT_RETURNING:
        InvalidateRect(dialog, nullptr, TRUE);
        break;
    case IDOK:
        ApplyPathOptions(dialog, d);
        ClosePathOptions(dialog, d, IDOK);
        break;
    case IDCANCEL:
        ClosePathOptions(dialog, d, IDCANCEL);
        break;
    default: break;
    }
}

INT_PTR CALLBACK PathOptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PathDialog* d = KeptDialogState<PathDialog>(dialog, message, lParam);
    if (!d)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        CenterWindowOnParent(dialog);
        LoadPathOptionsBitmaps(dialog, *d);
        for (int i = 0; i < 5; ++i)
            SendDlgItemMessageA(dialog, IDC_PATH_SPEED_COMBO, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(ResText(IDS_PATH_SPEED_FIRST + i).c_str()));
        for (int i = 0; i < 3; ++i)
            SendDlgItemMessageA(dialog, IDC_PATH_LAYER_COMBO, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(ResText(IDS_PATH_LAYER_FIRST + i).c_str()));
        ShowWindow(GetDlgItem(dialog, IDC_PATH_GOING_PLACE), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_PATH_RETURNING_PLACE), SW_HIDE);
        InitPathOptions(dialog, *d);
        return TRUE;
    }
    case WM_PAINT:
        PaintPathOptions(dialog, *d);
        return TRUE;
    case WM_DRAWITEM:
        DrawPathButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *d);
        return TRUE;
    case WM_COMMAND:
        OnPathCommand(dialog, *d, LOWORD(wParam));
        return TRUE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: return PassToMainWindow(message, wParam, lParam);
    default: return FALSE;
    }
}

}  // namespace

int RunPathOptions(HWND owner, Handle sprite) {
    if (!sprite)
        return 0;
    PathDialog d{sprite};
    const INT_PTR result = ResDialogBoxParam(owner, PathOptionsDlgProc, "PATHOPTIONS", reinterpret_cast<LPARAM>(&d));
    FreePathBitmaps(d);  // a dialog ended by its owner's going leaves them
    return result == IDOK ? 1 : 0;
}
