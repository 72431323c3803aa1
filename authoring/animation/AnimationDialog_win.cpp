// "EDITANIMATION": the settings of an animated object: its speed, how long it plays, its
// transparent colour, mirroring and the path commands; the start frame in a preview.
#include "authoring/animation/AnimationDialog.h"

#include <algorithm>

#include "actions/PathOptions.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/palette/AppPalette.h"
#include "media/animation/AnimPlayback.h"
#include "resources/animedit_ids.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kFollowInterval = 10000;  // frames that follow the movement wait for it

// The dialog's working state: the object it sets and the flip buttons' faces.
struct DialogState {
    Handle sprite = 0;
    HBITMAP flipLR = nullptr, flipTB = nullptr;
};

Handle Film(Handle sprite) { return sprite ? GetSpriteFilm(sprite) : 0; }
uint32_t FrameCount(Handle sprite) {
    const Handle film = Film(sprite);
    return film ? GetFilmFrameCount(film) : 0;
}
uint32_t PointCount(Handle sprite) {
    const Handle path = sprite ? GetSpritePath(sprite) : 0;
    return path ? GetPathPointCount(path) : 0;
}
bool HasStrip(Handle sprite) {
    const Handle film = Film(sprite);
    return film && GetFilmKind(film) != kFilmMovie && GetFilmPictureHandle(film, kFilmStripPicture);
}

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }
void Show(HWND dialog, int id, bool on) { ShowWindow(GetDlgItem(dialog, id), on ? SW_SHOW : SW_HIDE); }

void FreeFlipBitmaps(DialogState& state) {
    for (HBITMAP* b : {&state.flipLR, &state.flipTB}) {
        if (*b)
            DeleteObject(*b);
        *b = nullptr;
    }
}

// ---- setting and applying the controls ----

void SetControls(HWND dialog, Handle s) {
    const uint16_t templateNumber = GetSpriteWord(s, kSpriteTemplate);
    const uint32_t frames = FrameCount(s), points = PointCount(s);
    SetItemChecked(dialog, IDC_ANIM_SHOW_FIRST, GetSpriteByte(s, kSpriteShowFirstFrame) != 0);
    SetItemChecked(dialog, IDC_ANIM_ERASE, GetSpriteByte(s, kSpriteStayVisible) == 0);
    SetItemChecked(dialog, IDC_ANIM_MATCH, templateNumber == kTemplateFramesFollow);
    const bool advanced = IsAdvancedUser();
    for (int id : {IDC_ANIM_MATCH, IDC_ANIM_SPEED_LABEL, IDC_ANIM_SPEED, IDC_ANIM_FPS_LABEL, IDC_ANIM_ALLOW_CLONES})
        Show(dialog, id, advanced);
    const bool several = frames >= 2;
    for (int id : {IDC_ANIM_SPEED_LABEL, IDC_ANIM_SPEED, IDC_ANIM_FPS_LABEL})
        Enable(dialog, id, several && templateNumber != kTemplateFramesFollow);
    Enable(dialog, IDC_ANIM_FRAME_REPEATS, several);
    Enable(dialog, IDC_ANIM_MATCH, several && points >= 2);
    Enable(dialog, IDC_ANIM_ALLOW_CLONES, points >= 2);
    if (several && templateNumber != kTemplateFramesFollow) {
        const uint32_t interval = GetSpriteLong(s, kSpriteFrameInterval);
        SetDlgItemInt(dialog, IDC_ANIM_SPEED, interval ? 1000 / interval : 0, FALSE);
    }
    const uint16_t end = GetSpriteWord(s, kSpriteEndCondition);
    int radio = 0;
    uint32_t count = 0;
    switch (end) {
    case kEndsNever: radio = IDC_ANIM_NON_STOP; break;
    case kEndsAfterSeconds: radio = IDC_ANIM_SECONDS; count = GetSpriteLong(s, kSpriteSeconds); break;
    case kEndsAfterFrameRepeats: radio = IDC_ANIM_FRAME_REPEATS; count = GetSpriteLong(s, kSpriteFrameRepeats); break;
    case kEndsAfterPathRepeats: radio = IDC_ANIM_PATH_REPEATS; count = GetSpriteLong(s, kSpritePathRepeats); break;
    default: break;
    }
    if (radio)
        CheckRadioButton(dialog, IDC_ANIM_SECONDS, IDC_ANIM_NON_STOP, radio);
    Enable(dialog, IDC_ANIM_COUNT, end != kEndsNever);
    if (count)
        SetDlgItemInt(dialog, IDC_ANIM_COUNT, count, FALSE);
    HWND commands = GetDlgItem(dialog, IDC_ANIM_PATH_COMMANDS);
    SendMessageA(commands, CB_RESETCONTENT, 0, 0);
    for (uint32_t i = 0; i < IDS_ANIM_PATH_COMMAND_COUNT; ++i)
        SendMessageA(commands, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResText(IDS_ANIM_PATH_COMMAND_FIRST + i).c_str()));
    SendMessageA(commands, CB_SETCURSEL, 0, 0);
    SetItemChecked(dialog, IDC_ANIM_TRANSPARENT, Film(s) && GetFilmMaskState(Film(s)) != 0);
    SetItemChecked(dialog, IDC_ANIM_ALLOW_CLONES, GetSpriteByte(s, kSpriteAllowClones) != 0);
    Enable(dialog, IDC_ANIM_FLIP_LR, HasStrip(s));
    Enable(dialog, IDC_ANIM_FLIP_TB, HasStrip(s));
}

uint32_t AtLeastOne(HWND dialog, int id) {
    const UINT value = GetDlgItemInt(dialog, id, nullptr, FALSE);
    return value ? value : 1;
}

void ApplyControls(HWND dialog, Handle s) {
    SetSpriteByte(s, kSpriteShowFirstFrame, IsItemChecked(dialog, IDC_ANIM_SHOW_FIRST));
    SetSpriteByte(s, kSpriteStayVisible, !IsItemChecked(dialog, IDC_ANIM_ERASE));
    const bool follow = IsItemChecked(dialog, IDC_ANIM_MATCH);
    // A movie keeps its own template: it plays its frames to its end whatever the path does.
    if (follow || !Film(s) || GetFilmKind(Film(s)) != kFilmMovie)
        SetSpriteWord(s, kSpriteTemplate, follow ? kTemplateFramesFollow : kTemplateFramesAndPath);
    SetSpriteByte(s, kSpriteFramesFollow, follow);
    if (follow) {
        SetSpriteLong(s, kSpriteFrameInterval, kFollowInterval);
        SetSpriteWord(s, kSpriteIntervalSet, 0);
    }
    if (FrameCount(s) > 1 && !follow) {
        SetSpriteLong(s, kSpriteFrameInterval, 1000 / AtLeastOne(dialog, IDC_ANIM_SPEED));
        SetSpriteWord(s, kSpriteIntervalSet, 0);
    }
    const uint32_t count = AtLeastOne(dialog, IDC_ANIM_COUNT);
    if (IsItemChecked(dialog, IDC_ANIM_SECONDS)) {
        SetSpriteWord(s, kSpriteEndCondition, kEndsAfterSeconds);
        SetSpriteLong(s, kSpriteSeconds, count);
    } else if (IsItemChecked(dialog, IDC_ANIM_PATH_REPEATS)) {
        SetSpriteWord(s, kSpriteEndCondition, kEndsAfterPathRepeats);
        SetSpriteLong(s, kSpritePathRepeats, count);
    } else if (IsItemChecked(dialog, IDC_ANIM_FRAME_REPEATS)) {
        SetSpriteWord(s, kSpriteEndCondition, kEndsAfterFrameRepeats);
        SetSpriteLong(s, kSpriteFrameRepeats, count);
    } else if (IsItemChecked(dialog, IDC_ANIM_NON_STOP)) {
        SetSpriteWord(s, kSpriteEndCondition, kEndsNever);
    }
    if (const Handle film = Film(s)) {
        if (!IsItemChecked(dialog, IDC_ANIM_TRANSPARENT)) {
            DropFilmMasks(film);
        } else if (GetFilmMaskState(film) == 0) {
            uint16_t rgb[3];
            GetFilmTransparentColor(film, rgb);
            if (SetFilmTransparentColor(film, rgb) != 0)
                ShowAlertOn(dialog, kAlertNotEnoughMemory);
        }
    }
    SetSpriteByte(s, kSpriteAllowClones, IsItemChecked(dialog, IDC_ANIM_ALLOW_CLONES));
}

// ---- drawing ----

// The start frame fitted, in proportion, inside the preview, on white.
void DrawPreview(const DRAWITEMSTRUCT& item, Handle sprite) {
    const RECT& r = item.rcItem;
    FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const Handle film = Film(sprite);
    const uint32_t frames = FrameCount(sprite);
    ShortRect frame{};
    const uint32_t index = GetSpriteLong(sprite, kSpriteStartFrame);
    if (!film || !GetFilmFrameRect(film, std::min(index, frames ? frames - 1 : 0), &frame))
        return;
    const int w = r.right - r.left - 4, h = r.bottom - r.top - 4;
    const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
    if (w <= 0 || h <= 0 || fw <= 0 || fh <= 0)
        return;
    const double scale = std::min({1.0, double(w) / fw, double(h) / fh});
    const int dw = std::max(1, int(fw * scale)), dh = std::max(1, int(fh * scale));
    PixMap map;
    if (NewPixMap(&map, {0, 0, static_cast<int16_t>(w), static_cast<int16_t>(h)}, 32, true) != 0)
        return;
    BeginPixMapDraw(&map);
    const RECT all = {0, 0, w, h};
    FillRect(map.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int16_t left = static_cast<int16_t>((w - dw) / 2), top = static_cast<int16_t>((h - dh) / 2);
    LockFilm(film);
    DrawFilmFrame(film, std::min(index, frames - 1), &map, frame,
                  {left, top, static_cast<int16_t>(left + dw), static_cast<int16_t>(top + dh)});
    UnlockFilm(film);
    BitBlt(item.hDC, r.left + 2, r.top + 2, w, h, map.dc, 0, 0, SRCCOPY);
    EndPixMapDraw(&map);
    DisposePixMap(&map);
}

void DrawSwatch(const DRAWITEMSTRUCT& item, Handle sprite) {
    RECT r = item.rcItem;
    DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT);
    uint16_t rgb[3] = {};
    if (const Handle film = Film(sprite))
        GetFilmTransparentColor(film, rgb);
    const SelectedPalette palette(item.hDC, GetAppPalette(), SelectedPalette::kAlways);
    RealizePalette(item.hDC);
    const RECT inside = {r.left + 4, r.top + 11, r.right - 4, r.bottom - 4};
    const OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PALETTERGB(rgb[0] & 255, rgb[1] & 255, rgb[2] & 255)));
    FillRect(item.hDC, &inside, brush.get());
}

// A third of the bitmap per state: normal, pressed, disabled; a focus ring dotted in white.
void DrawFlipButton(const DRAWITEMSTRUCT& item, HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return;
    const int state = (item.itemState & ODS_SELECTED) ? 1 : (item.itemState & ODS_DISABLED) ? 2 : 0;
    const int w = info.bmWidth / 3;
    const RECT& r = item.rcItem;
    {
        const MemoryDC source(item.hDC);
        const SelectedObject face(source.get(), bitmap);
        StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), state * w, 0, w,
                   info.bmHeight, SRCCOPY);
    }
    if (item.itemState & ODS_FOCUS) {
        const OwnedGdiObject<HPEN> pen(CreatePen(PS_DOT, 1, RGB(255, 255, 255)));
        const SelectedObject dotted(item.hDC, pen.get());
        const SelectedObject hollow(item.hDC, GetStockObject(NULL_BRUSH));
        const int oldMode = SetBkMode(item.hDC, TRANSPARENT);
        Rectangle(item.hDC, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
        SetBkMode(item.hDC, oldMode);
    }
}

void Repaint(HWND dialog, int id) { InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE); }

// ---- the swatch pick and the flips ----

// The pointer picks a colour on the screen until a button is released over it.
void PickColour(HWND dialog, Handle sprite) {
    const Handle film = Film(sprite);
    if (!film)
        return;
    HCURSOR pick = LoadCursorA(GetAppInstance(), "EYEDROP");
    SetCapture(dialog);
    SetCursor(pick ? pick : LoadCursorA(nullptr, IDC_CROSS));
    bool picked = false;
    MSG msg;
    while (GetCapture() == dialog && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
            picked = true;
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_SETCURSOR)
            SetCursor(pick ? pick : LoadCursorA(nullptr, IDC_CROSS));
        else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST)
            DispatchMessageA(&msg);
    }
    ReleaseCapture();
    if (!picked)
        return;
    POINT at;
    GetCursorPos(&at);
    const COLORREF colour = GetPixel(WindowDC(nullptr).get(), at.x, at.y);
    if (colour == CLR_INVALID)
        return;
    const uint16_t rgb[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    uint16_t current[3];
    GetFilmTransparentColor(film, current);
    if (!std::equal(rgb, rgb + 3, current)) {
        DropFilmMasks(film);
        StoreFilmTransparentColor(film, rgb);
    }
    Repaint(dialog, IDC_ANIM_SWATCH);
    Repaint(dialog, IDC_ANIM_PREVIEW);
}

// Every frame of the strip mirrored where it lies; the masks follow when the colour is in use.
void FlipFrames(HWND dialog, Handle sprite, bool horizontal) {
    const Handle film = Film(sprite);
    if (!HasStrip(sprite))
        return;
    const bool masked = GetFilmMaskState(film) != 0;
    DropFilmMasks(film);
    const Handle picture = GetFilmPictureHandle(film, kFilmStripPicture);
    if (PixMap* strip = LockPixMapHandle(picture)) {
        const uint32_t frames = FrameCount(sprite);
        for (uint32_t i = 0; i < frames; ++i) {
            ShortRect rect{};
            if (GetFilmFrameRect(film, i, &rect))
                FlipPixMap(strip, rect, horizontal);
        }
        UnlockPixMapHandle(picture);
    }
    if (masked) {
        uint16_t rgb[3];
        GetFilmTransparentColor(film, rgb);
        SetFilmTransparentColor(film, rgb);
    }
    Repaint(dialog, IDC_ANIM_PREVIEW);
}

void EndWith(HWND dialog, DialogState& state, int id) {
    if (id != IDCANCEL)
        ApplyControls(dialog, state.sprite);
    FreeFlipBitmaps(state);
    EndDialog(dialog, id);
}

void OnPathCommand(HWND dialog, DialogState& state) {
    HWND commands = GetDlgItem(dialog, IDC_ANIM_PATH_COMMANDS);
    const LRESULT index = SendMessageA(commands, CB_GETCURSEL, 0, 0);
    if (index == 1) {
        EndWith(dialog, state, IDC_ANIM_PATH_COMMANDS);
    } else if (index == 2) {
        EndWith(dialog, state, IDC_ANIM_EDIT_PATH);
    } else if (index == 3) {
        SendMessageA(commands, CB_SETCURSEL, 0, 0);
        ApplyControls(dialog, state.sprite);
        if (RunPathOptions(dialog, state.sprite) == 1)
            SetControls(dialog, state.sprite);
    }
}

INT_PTR CALLBACK AnimationDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* state = KeptDialogState<DialogState>(dialog, message, lParam);
    if (!state)
        return FALSE;
    const Handle sprite = state->sprite;
    switch (message) {
    case WM_INITDIALOG:
        state->flipLR = static_cast<HBITMAP>(LoadImageA(GetAppInstance(), "IDB_ANIM_FLIPLR", IMAGE_BITMAP, 0, 0, 0));
        state->flipTB = static_cast<HBITMAP>(LoadImageA(GetAppInstance(), "IDB_ANIM_FLIPTB", IMAGE_BITMAP, 0, 0, 0));
        CenterWindowOnParent(dialog);
        SetControls(dialog, sprite);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == IDC_ANIM_PREVIEW)
            DrawPreview(item, sprite);
        else if (item.CtlID == IDC_ANIM_SWATCH)
            DrawSwatch(item, sprite);
        else if (item.CtlID == IDC_ANIM_FLIP_LR || item.CtlID == IDC_ANIM_FLIP_TB)
            DrawFlipButton(item, item.CtlID == IDC_ANIM_FLIP_LR ? state->flipLR : state->flipTB);
        return TRUE;
    }
    case WM_LBUTTONUP: {
        RECT swatch;
        GetWindowRect(GetDlgItem(dialog, IDC_ANIM_SWATCH), &swatch);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&swatch), 2);
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&swatch, at))
            PickColour(dialog, sprite);
        return TRUE;
    }
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        SendMessageA(GetMainWindow(), message, wParam, lParam);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_ANIM_FLIP_LR:
        case IDC_ANIM_FLIP_TB:
            FlipFrames(dialog, sprite, id == IDC_ANIM_FLIP_LR);
            return TRUE;
        case IDC_ANIM_TRANSPARENT:
            if (IsItemChecked(dialog, id))
                Repaint(dialog, IDC_ANIM_SWATCH);
            return TRUE;
        case IDC_ANIM_MATCH:
            for (int speed : {IDC_ANIM_SPEED_LABEL, IDC_ANIM_SPEED, IDC_ANIM_FPS_LABEL})
                Enable(dialog, speed, !IsItemChecked(dialog, id) && FrameCount(sprite) >= 2);
            return TRUE;
        case IDC_ANIM_SECONDS:
        case IDC_ANIM_PATH_REPEATS:
        case IDC_ANIM_FRAME_REPEATS:
        case IDC_ANIM_NON_STOP:
            CheckRadioButton(dialog, IDC_ANIM_SECONDS, IDC_ANIM_NON_STOP, id);
            Enable(dialog, IDC_ANIM_COUNT, id != IDC_ANIM_NON_STOP);
            return TRUE;
        case IDC_ANIM_PATH_COMMANDS:
            if (code == CBN_SELENDOK ||
                (code == CBN_SELCHANGE && !SendMessageA(GetDlgItem(dialog, id), CB_GETDROPPEDSTATE, 0, 0)))
                OnPathCommand(dialog, *state);
            return TRUE;
        case IDOK:
        case IDC_ANIM_GET_IMAGE:
        case IDC_ANIM_TRY:
        case IDCANCEL:
            EndWith(dialog, *state, id);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR ShowAnimationDialog(HWND owner, Handle sprite) {
    DialogState state{sprite};
    const INT_PTR result =
        ResDialogBoxParam(owner, AnimationDlgProc, "EDITANIMATION", reinterpret_cast<LPARAM>(&state));
    FreeFlipBitmaps(state);
    return result;
}
