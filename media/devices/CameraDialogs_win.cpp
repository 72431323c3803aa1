// A picture from the camera: connect, choose among the thumbnails ("CAMERADLG"), fetch the full
// picture ("CAMERAWAIT"), disconnect.
#include <algorithm>
#include <array>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/WindowUtils.h"
#include "graphics/palette/AppPalette.h"
#include "media/devices/Camera.h"
#include "media/devices/CameraDrivers_win.h"
#include "resources/video_ids.h"

namespace {

constexpr int kLargestThumbnail = 256;  // a camera's thumbnail sizes are not trusted beyond this

uint16_t g_family = kCameraFamilyA;

struct ChooserLayout {
    int cellWidth = 0, cellHeight = 0;
    int columns = 1, rows = 1;
    int perPage = 1;
    int first = 1;     // first picture shown
    int selected = 1;
    int shown = 0;     // pictures offered: the count, at most 32
    RECT area{};       // the thumbnail area in client coordinates
};

// What one import works on: the camera's pictures, and the chooser's thumbnails (as DIBs, in
// slots 1-32) and layout while it is open.
struct Chooser {
    CameraPictures pictures;
    std::array<DibHandle, kCameraThumbnailSlots + 1> thumbnails{};
    ChooserLayout layout;
};

Handle Thumbnail(const Chooser& c, int picture) {
    return g_family == kCameraFamilyB ? CameraThumbnailB(picture, c.pictures) : CameraThumbnailA(picture, c.pictures);
}

DibHandle FullPicture(int picture) {
    return g_family == kCameraFamilyB ? CameraPictureB(picture) : CameraPictureA(picture);
}

void DisposeThumbnails(Chooser& c) {
    for (DibHandle& h : c.thumbnails)
        DisposeHandleAndClear(&h);
}

RECT CellRect(const Chooser& c, int picture) {
    const int index = picture - c.layout.first;
    const int x = c.layout.area.left + (index % c.layout.columns) * c.layout.cellWidth;
    const int y = c.layout.area.top + (index / c.layout.columns) * c.layout.cellHeight;
    return {x, y, x + c.layout.cellWidth, y + c.layout.cellHeight};
}

bool Visible(const Chooser& c, int picture) {
    return picture >= c.layout.first && picture < c.layout.first + c.layout.perPage && picture <= c.layout.shown;
}

void FrameSelection(const Chooser& c, HDC dc, int picture, bool show) {
    if (!Visible(c, picture))
        return;
    const RECT cell = CellRect(c, picture);
    OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, show ? RGB(0, 0, 0) : RGB(255, 255, 255)));
    SelectedObject usePen(dc, pen.get());
    SelectedObject useBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, cell.left + 2, cell.top + 2, cell.right - 1, cell.bottom - 1);
}

void DrawGrid(const Chooser& c, HWND dialog, HDC dc) {
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    RealizePalette(dc);
    RECT frame = c.layout.area;
    FillRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int picture = c.layout.first; Visible(c, picture); ++picture) {
        const DibHandle dib = c.thumbnails[static_cast<size_t>(picture)];
        LockedDib locked(dib);
        if (!locked)
            continue;
        const RECT cell = CellRect(c, picture);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(locked.bytes().data());
        SetDIBitsToDevice(dc, cell.left + 4, cell.top + 4, static_cast<DWORD>(locked.layout().width),
                          static_cast<DWORD>(locked.layout().height), 0, 0, 0, static_cast<UINT>(locked.layout().height),
                          locked.image().data(), info, DIB_RGB_COLORS);
    }
    FrameSelection(c, dc, c.layout.selected, true);
}

RECT ClientRectOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    ScreenRectToClient(dialog, &r);
    return r;
}

void InitChooser(Chooser& c, HWND dialog) {
    c.layout = ChooserLayout{};
    c.layout.cellWidth = c.pictures.thumbWidth + 8;
    c.layout.cellHeight = c.pictures.thumbHeight + 8;
    c.layout.shown = std::min<int>(c.pictures.count, kCameraThumbnailSlots);
    for (int picture = 1; picture <= c.layout.shown; ++picture) {
        Handle rgb = Thumbnail(c, picture);
        c.thumbnails[static_cast<size_t>(picture)] = RgbHandleToDib(rgb, c.pictures.thumbWidth, c.pictures.thumbHeight);
        DisposeHandle(rgb);
    }
    // The thumbnails fill the room above OK and Cancel, beside the scroll bar; at least one cell,
    // for which the dialog grows and the buttons move below it.
    HWND area = GetDlgItem(dialog, IDC_CAMERA_AREA), scroll = GetDlgItem(dialog, IDC_CAMERA_SCROLL);
    const RECT r = ClientRectOf(dialog, IDC_CAMERA_AREA), s = ClientRectOf(dialog, IDC_CAMERA_SCROLL);
    const RECT ok = ClientRectOf(dialog, IDOK), cancel = ClientRectOf(dialog, IDCANCEL);
    const int margin = r.left, scrollWidth = s.right - s.left;
    c.layout.columns = std::max<int>(1, (s.right - r.left - scrollWidth) / c.layout.cellWidth);
    c.layout.rows = std::max<int>(1, (ok.top - margin - r.top) / c.layout.cellHeight);
    c.layout.perPage = c.layout.rows * c.layout.columns;
    const int width = c.layout.columns * c.layout.cellWidth, height = c.layout.rows * c.layout.cellHeight;
    MoveWindow(area, r.left, r.top, width, height, FALSE);
    c.layout.area = {r.left, r.top, r.left + width, r.top + height};
    MoveWindow(scroll, r.left + width, r.top, scrollWidth, height, FALSE);
    SetScrollRange(scroll, SB_CTL, 0, c.layout.shown / c.layout.columns, FALSE);
    const int growX = std::max<int>(0, r.left + width + scrollWidth + margin - cancel.right - margin);
    const int growY = std::max<int>(0, r.top + height + margin - ok.top);
    if (growX || growY) {
        for (const auto& [id, at] : {std::pair{IDOK, ok}, std::pair{IDCANCEL, cancel}})
            SetWindowPos(GetDlgItem(dialog, id), nullptr, at.left + growX, at.top + growY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT box{};
        GetWindowRect(dialog, &box);
        SetWindowPos(dialog, nullptr, 0, 0, box.right - box.left + growX, box.bottom - box.top + growY,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    SetFocus(GetDlgItem(dialog, IDOK));
    CenterWindowOnParent(dialog);
}

void Scroll(Chooser& c, HWND dialog, WPARAM wParam) {
    int first = c.layout.first;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: first -= c.layout.columns; break;
    case SB_LINEDOWN: first += c.layout.columns; break;
    case SB_PAGEUP: first -= c.layout.perPage; break;
    case SB_PAGEDOWN: first += c.layout.perPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: first = static_cast<int>(HIWORD(wParam)) * c.layout.columns + 1; break;
    default: return;
    }
    first = std::max(first, 1);
    if (first > c.layout.shown || first == c.layout.first)
        return;
    c.layout.first = first;
    SetScrollPos(GetDlgItem(dialog, IDC_CAMERA_SCROLL), SB_CTL, first / c.layout.columns, TRUE);
    InvalidateRect(dialog, &c.layout.area, FALSE);
}

void Click(Chooser& c, HWND dialog, int x, int y) {
    const POINT p{x, y};
    if (!PtInRect(&c.layout.area, p))
        return;
    const int column = (x - c.layout.area.left) / c.layout.cellWidth;
    const int row = (y - c.layout.area.top) / c.layout.cellHeight;
    const int picture = c.layout.first + row * c.layout.columns + column;
    if (picture > c.layout.shown || column >= c.layout.columns)
        return;
    WindowDC dc(dialog);
    FrameSelection(c, dc.get(), c.layout.selected, false);
    c.layout.selected = picture;
    FrameSelection(c, dc.get(), picture, true);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Chooser* kept = KeptDialogState<Chooser>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    Chooser& c = *kept;
    switch (message) {
    case WM_INITDIALOG: InitChooser(c, dialog); return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        DrawGrid(c, dialog, dc);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_LBUTTONDOWN: Click(c, dialog, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return TRUE;
    case WM_VSCROLL: Scroll(c, dialog, wParam); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DisposeThumbnails(c);
            EndDialog(dialog, LOWORD(wParam) == IDOK ? c.layout.selected : 0);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// "CAMERAWAIT": the full picture is fetched at the first paint, the box showing meanwhile.
struct Wait {
    int picture = 0;
    bool fetched = false;
};

INT_PTR CALLBACK WaitProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    Wait* wait = KeptDialogState<Wait>(dialog, message, lParam);
    if (!wait)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindowOnParent(dialog);
        return TRUE;
    case WM_PAINT: {
        if (wait->fetched)
            return FALSE;
        wait->fetched = true;
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        EndPaint(dialog, &paint);
        UpdateWindow(GetDlgItem(dialog, IDOK));
        UpdateWindow(GetDlgItem(dialog, IDCANCEL));
        DibHandle dib = 0;
        {
            WaitCursor cursor;
            dib = FullPicture(wait->picture);
        }
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        EndDialog(dialog, static_cast<INT_PTR>(dib));
        return TRUE;
    }
    default: return FALSE;
    }
}

bool Connect(Chooser& c, HWND parent) {
    c.pictures = CameraPictures{};
    const int status = g_family == kCameraFamilyB ? ConnectCameraB(&c.pictures) : ConnectCameraA(GetCardWindow(), &c.pictures);
    if (status != 0)
        return false;
    // A camera's thumbnail sizes are bounded before anything is allocated by them.
    if (c.pictures.thumbWidth == 0 || c.pictures.thumbHeight == 0 || c.pictures.thumbWidth > kLargestThumbnail ||
        c.pictures.thumbHeight > kLargestThumbnail)
        c.pictures.count = 0;
    return true;
}

void Disconnect() {
    if (g_family == kCameraFamilyB)
        DisconnectCameraB();
    else
        DisconnectCameraA();
}

}  // namespace

bool IsCameraAvailable(HWND card) {
    g_family = kCameraFamilyA;
    FreeCameraDriverB();
    if (OpenCameraDriver(card))
        return true;
    if (!ProbeCameraDriverB())
        return false;
    g_family = kCameraFamilyB;
    return true;
}

int ImportCameraPicture(HWND parent, DibHandle* dib) {
    if (dib)
        *dib = 0;
    DibHandle picture = 0;
    Chooser c;
    if (!Connect(c, parent)) {
        ShowAlertOn(parent, kAlertCameraNotConnected);
    } else if (c.pictures.count == 0) {
        ShowAlertOn(parent, kAlertNoCameraPictures);
    } else {
        const INT_PTR chosen = ResDialogBoxParam(parent, ChooserProc, "CAMERADLG", reinterpret_cast<LPARAM>(&c));
        DisposeThumbnails(c);  // a chooser ended by its owner's going leaves them
        if (chosen >= 1) {
            Wait wait{static_cast<int>(chosen)};
            picture = static_cast<DibHandle>(
                ResDialogBoxParam(parent, WaitProc, "CAMERAWAIT", reinterpret_cast<LPARAM>(&wait)));
            if (!picture)
                ShowAlertOn(parent, kAlertCameraPictureFailed);
        }
    }
    Disconnect();
    if (dib)
        *dib = picture;
    return picture ? 0 : -1;
}
