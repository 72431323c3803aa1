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
CameraPictures g_pictures;

// Slots 1-32: the thumbnails (as DIBs) while the chooser is open.
std::array<DibHandle, kCameraThumbnailSlots + 1> g_thumbnails{};

struct ChooserLayout {
    int cellWidth = 0, cellHeight = 0;
    int columns = 1, rows = 1;
    int perPage = 1;
    int first = 1;     // first picture shown
    int selected = 1;
    int shown = 0;     // pictures offered: the count, at most 32
    RECT area{};       // the thumbnail area in client coordinates
};
ChooserLayout g_layout;

Handle Thumbnail(int picture) {
    return g_family == kCameraFamilyB ? CameraThumbnailB(picture, g_pictures) : CameraThumbnailA(picture, g_pictures);
}

DibHandle FullPicture(int picture) {
    return g_family == kCameraFamilyB ? CameraPictureB(picture) : CameraPictureA(picture);
}

void DisposeThumbnails() {
    for (DibHandle& h : g_thumbnails)
        DisposeHandleAndClear(&h);
}

RECT CellRect(int picture) {
    const int index = picture - g_layout.first;
    const int x = g_layout.area.left + (index % g_layout.columns) * g_layout.cellWidth;
    const int y = g_layout.area.top + (index / g_layout.columns) * g_layout.cellHeight;
    return {x, y, x + g_layout.cellWidth, y + g_layout.cellHeight};
}

bool Visible(int picture) {
    return picture >= g_layout.first && picture < g_layout.first + g_layout.perPage && picture <= g_layout.shown;
}

void FrameSelection(HDC dc, int picture, bool show) {
    if (!Visible(picture))
        return;
    const RECT cell = CellRect(picture);
    OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, show ? RGB(0, 0, 0) : RGB(255, 255, 255)));
    SelectedObject usePen(dc, pen.get());
    SelectedObject useBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, cell.left + 2, cell.top + 2, cell.right - 1, cell.bottom - 1);
}

void DrawGrid(HWND dialog, HDC dc) {
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    RealizePalette(dc);
    RECT frame = g_layout.area;
    FillRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int picture = g_layout.first; Visible(picture); ++picture) {
        const DibHandle dib = g_thumbnails[static_cast<size_t>(picture)];
        LockedDib locked(dib);
        if (!locked)
            continue;
        const RECT cell = CellRect(picture);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(locked.bytes().data());
        SetDIBitsToDevice(dc, cell.left + 4, cell.top + 4, static_cast<DWORD>(locked.layout().width),
                          static_cast<DWORD>(locked.layout().height), 0, 0, 0, static_cast<UINT>(locked.layout().height),
                          locked.image().data(), info, DIB_RGB_COLORS);
    }
    FrameSelection(dc, g_layout.selected, true);
}

RECT ClientRectOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    ScreenRectToClient(dialog, &r);
    return r;
}

void InitChooser(HWND dialog) {
    g_layout = ChooserLayout{};
    g_layout.cellWidth = g_pictures.thumbWidth + 8;
    g_layout.cellHeight = g_pictures.thumbHeight + 8;
    g_layout.shown = std::min<int>(g_pictures.count, kCameraThumbnailSlots);
    for (int picture = 1; picture <= g_layout.shown; ++picture) {
        Handle rgb = Thumbnail(picture);
        g_thumbnails[static_cast<size_t>(picture)] = RgbHandleToDib(rgb, g_pictures.thumbWidth, g_pictures.thumbHeight);
        DisposeHandle(rgb);
    }
    // The thumbnails fill the room above OK and Cancel, beside the scroll bar; at least one cell,
    // for which the dialog grows and the buttons move below it.
    HWND area = GetDlgItem(dialog, IDC_CAMERA_AREA), scroll = GetDlgItem(dialog, IDC_CAMERA_SCROLL);
    const RECT r = ClientRectOf(dialog, IDC_CAMERA_AREA), s = ClientRectOf(dialog, IDC_CAMERA_SCROLL);
    const RECT ok = ClientRectOf(dialog, IDOK), cancel = ClientRectOf(dialog, IDCANCEL);
    const int margin = r.left, scrollWidth = s.right - s.left;
    g_layout.columns = std::max<int>(1, (s.right - r.left - scrollWidth) / g_layout.cellWidth);
    g_layout.rows = std::max<int>(1, (ok.top - margin - r.top) / g_layout.cellHeight);
    g_layout.perPage = g_layout.rows * g_layout.columns;
    const int width = g_layout.columns * g_layout.cellWidth, height = g_layout.rows * g_layout.cellHeight;
    MoveWindow(area, r.left, r.top, width, height, FALSE);
    g_layout.area = {r.left, r.top, r.left + width, r.top + height};
    MoveWindow(scroll, r.left + width, r.top, scrollWidth, height, FALSE);
    SetScrollRange(scroll, SB_CTL, 0, g_layout.shown / g_layout.columns, FALSE);
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

void Scroll(HWND dialog, WPARAM wParam) {
    int first = g_layout.first;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: first -= g_layout.columns; break;
    case SB_LINEDOWN: first += g_layout.columns; break;
    case SB_PAGEUP: first -= g_layout.perPage; break;
    case SB_PAGEDOWN: first += g_layout.perPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: first = static_cast<int>(HIWORD(wParam)) * g_layout.columns + 1; break;
    default: return;
    }
    first = std::max(first, 1);
    if (first > g_layout.shown || first == g_layout.first)
        return;
    g_layout.first = first;
    SetScrollPos(GetDlgItem(dialog, IDC_CAMERA_SCROLL), SB_CTL, first / g_layout.columns, TRUE);
    InvalidateRect(dialog, &g_layout.area, FALSE);
}

void Click(HWND dialog, int x, int y) {
    const POINT p{x, y};
    if (!PtInRect(&g_layout.area, p))
        return;
    const int column = (x - g_layout.area.left) / g_layout.cellWidth;
    const int row = (y - g_layout.area.top) / g_layout.cellHeight;
    const int picture = g_layout.first + row * g_layout.columns + column;
    if (picture > g_layout.shown || column >= g_layout.columns)
        return;
    WindowDC dc(dialog);
    FrameSelection(dc.get(), g_layout.selected, false);
    g_layout.selected = picture;
    FrameSelection(dc.get(), picture, true);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitChooser(dialog); return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        DrawGrid(dialog, dc);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_LBUTTONDOWN: Click(dialog, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return TRUE;
    case WM_VSCROLL: Scroll(dialog, wParam); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DisposeThumbnails();
            EndDialog(dialog, LOWORD(wParam) == IDOK ? g_layout.selected : 0);
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

bool Connect(HWND parent) {
    g_pictures = CameraPictures{};
    const int status = g_family == kCameraFamilyB ? ConnectCameraB(&g_pictures) : ConnectCameraA(GetCardWindow(), &g_pictures);
    if (status != 0)
        return false;
    // A camera's thumbnail sizes are bounded before anything is allocated by them.
    if (g_pictures.thumbWidth == 0 || g_pictures.thumbHeight == 0 || g_pictures.thumbWidth > kLargestThumbnail ||
        g_pictures.thumbHeight > kLargestThumbnail)
        g_pictures.count = 0;
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
    if (!Connect(parent)) {
        ShowAlertOn(parent, kAlertCameraNotConnected);
    } else if (g_pictures.count == 0) {
        ShowAlertOn(parent, kAlertNoCameraPictures);
    } else {
        const INT_PTR chosen = ResDialogBoxParam(parent, ChooserProc, "CAMERADLG", 0);
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
