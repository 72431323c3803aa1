// The "ANIMSOURCE" dialog and the film made from the source it chooses (AnimSource.h).
#include "authoring/animation/AnimSource.h"

#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "media/pictures/GraphicSource.h"
#include "resources/animsource_ids.h"
#include "authoring/animation/AnimFrames.h"

namespace {

// The dialog's working record.
struct SourceDialog {
    HBITMAP clipart = nullptr, screen = nullptr, rectButton = nullptr, lassoButton = nullptr;
};
SourceDialog g_source;

bool g_lassoShape = false;
bool g_grabbed = false;
POINT g_grabStart{};


void FreeSourceBitmaps() {
    for (HBITMAP* b : {&g_source.clipart, &g_source.screen, &g_source.rectButton, &g_source.lassoButton}) {
        if (*b)
            DeleteObject(*b);
        *b = nullptr;
    }
}

// Where a picture is drawn: at its control's left, centred on its height.
RECT PictureRect(HWND dialog, int id, HBITMAP picture) {
    const RECT place = DialogItemRect(dialog, id);
    const SIZE size = BitmapSizeOf(picture);
    const int top = (place.top + place.bottom - size.cy) / 2;
    return RECT{place.left, top, place.left + size.cx, top + size.cy};
}

void DrawBitmapPart(HDC dc, HBITMAP bitmap, int x, int y, int sourceX, int width, int height) {
    MemoryDC memory(dc);
    SelectedObject selected(memory.get(), bitmap);
    BitBlt(dc, x, y, width, height, memory.get(), sourceX, 0, SRCCOPY);
}

void PaintSource(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    for (auto [id, picture] : {std::pair{IDC_ANIMSRC_CLIPART, g_source.clipart}, {IDC_ANIMSRC_SCREEN, g_source.screen}}) {
        if (!picture)
            continue;
        const RECT r = PictureRect(dialog, id, picture);
        DrawBitmapPart(dc, picture, r.left, r.top, 0, r.right - r.left, r.bottom - r.top);
    }
    EndPaint(dialog, &paint);
}

// A shape button: the left face, or the right one for the chosen shape.
void DrawShapeButton(const DRAWITEMSTRUCT& item) {
    const bool lassoButton = item.CtlID == IDC_ANIMSRC_LASSO;
    HBITMAP bitmap = lassoButton ? g_source.lassoButton : g_source.rectButton;
    const SIZE size = BitmapSizeOf(bitmap);
    if (!size.cx)
        return;
    const bool chosen = lassoButton == g_lassoShape;
    const int face = size.cx / 2;
    DrawBitmapPart(item.hDC, bitmap, item.rcItem.left, item.rcItem.top, chosen ? face : 0, face, size.cy);
}

void SizeShapeButton(HWND dialog, int id, HBITMAP bitmap) {
    const SIZE size = BitmapSizeOf(bitmap);
    if (size.cx)
        SetWindowPos(GetDlgItem(dialog, id), nullptr, 0, 0, size.cx / 2, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EndSource(HWND dialog, int result) {
    FreeSourceBitmaps();
    EndDialog(dialog, result);
}

bool IsMovieSource(const char* path) { return IsMovieFileType(path); }

// A film of the file: a movie by its type, else the first picture source that applies.
bool FilmFromFile(const char* path, Handle* film) {
    if (IsMovieSource(path))
        return MakeMovieFilm(path, film) == 0 && *film;
    FrameStrip strip;
    FrameSourceResult result = GetSeriesFrames(path, &strip);
    if (result == FrameSourceResult::NotThisSource)
        result = GetGifFrames(path, &strip);
    if (result == FrameSourceResult::NotThisSource)
        result = GetCroppedFrame(path, &strip);
    if (result != FrameSourceResult::Made) {
        FreeFrameStrip(&strip);
        return false;
    }
    *film = MakeStripFilm(&strip, true);
    return *film != 0;
}

// The grab again while the author asks to try again.
bool FilmFromCard(Handle* film) {
    for (;;) {
        FrameStrip strip;
        if (GrabCardFrame(g_lassoShape, &strip)) {
            const POINT start = strip.startOnScreen;
            *film = MakeStripFilm(&strip, false);
            g_grabbed = *film != 0;
            g_grabStart = start;
            return g_grabbed;
        }
        if (ShowAlert(IDS_ALERT_NO_CARD_AREA) != 1)
            return false;
    }
}

}  // namespace

INT_PTR CALLBACK AnimSourceDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_source.clipart = ResLoadBitmap("IDB_FROM_CLIPART");
        g_source.screen = ResLoadBitmap("IDB_FROM_SCREEN");
        g_source.rectButton = ResLoadBitmap("IDB_ANIM_RECTBTN");
        g_source.lassoButton = ResLoadBitmap("IDB_ANIM_LASSOBTN");
        ShowWindow(GetDlgItem(dialog, IDC_ANIMSRC_CLIPART), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_ANIMSRC_SCREEN), SW_HIDE);
        SizeShapeButton(dialog, IDC_ANIMSRC_RECT, g_source.rectButton);
        SizeShapeButton(dialog, IDC_ANIMSRC_LASSO, g_source.lassoButton);
        CenterWindowOnParent(dialog);
        return TRUE;
    case WM_PAINT:
        PaintSource(dialog);
        return TRUE;
    case WM_LBUTTONUP: {
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const RECT disk = PictureRect(dialog, IDC_ANIMSRC_CLIPART, g_source.clipart);
        const RECT card = PictureRect(dialog, IDC_ANIMSRC_SCREEN, g_source.screen);
        if (PtInRect(&disk, at))
            PostMessageA(dialog, WM_COMMAND, IDR_ANIMSRC_DISK, 0);
        else if (PtInRect(&card, at))
            PostMessageA(dialog, WM_COMMAND, IDR_ANIMSRC_CARD, 0);
        return TRUE;
    }
    case WM_DRAWITEM:
        DrawShapeButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ANIMSRC_RECT:
        case IDC_ANIMSRC_LASSO:
            g_lassoShape = LOWORD(wParam) == IDC_ANIMSRC_LASSO;
            InvalidateRect(GetDlgItem(dialog, IDC_ANIMSRC_RECT), nullptr, FALSE);
            InvalidateRect(GetDlgItem(dialog, IDC_ANIMSRC_LASSO), nullptr, FALSE);
            return TRUE;
        case IDR_ANIMSRC_DISK:
        case IDR_ANIMSRC_CARD:
        case IDCANCEL:
            EndSource(dialog, LOWORD(wParam));
            return TRUE;
        default: return FALSE;
        }
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: return PassToMainWindow(message, wParam, lParam);
    default: return FALSE;
    }
}

bool GetAnimationSource(Handle* film, const char* path) {
    if (!film)
        return false;
    *film = 0;
    g_grabbed = false;
    if (path && *path)
        return FilmFromFile(path, film);
    HWND window = GetMainWindow();
    switch (ResDialogBox(window, AnimSourceDlgProc, "ANIMSOURCE")) {
    case IDR_ANIMSRC_DISK: {
        char file[MAX_PATH] = {};
        if (!AskGraphicFileName(window, file, sizeof file, 'M', kNoSlot))
            return false;
        return FilmFromFile(file, film);
    }
    case IDR_ANIMSRC_CARD: return FilmFromCard(film);
    default: return false;
    }
}

bool GetGrabbedFrameStart(POINT* screenPoint) {
    if (g_grabbed && screenPoint)
        *screenPoint = g_grabStart;
    return g_grabbed;
}

bool IsLassoGrabShape() { return g_lassoShape; }
void SetLassoGrabShape(bool lasso) { g_lassoShape = lasso; }
