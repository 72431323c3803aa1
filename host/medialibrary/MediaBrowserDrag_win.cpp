// Dragging in and out of the browser: list items onto the card (a drop the card window reads
// back from the library) or elsewhere (desktop shortcuts), files from the shell into the list,
// and the splitter between the preview pane and the list.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "core/system/PluginModule.h"
#include "core/ui/WindowUtils.h"
#include "host/medialibrary/MediaBrowser.h"
#include "graphics/palette/AppPalette.h"
#include "host/palettes/ToolPalette.h"
#include "media/library/MediaLibServices.h"

namespace {

constexpr uint32_t kTrackingItem = 1;
constexpr uint32_t kTrackingSplitter = 2;

bool IsUnder(HWND window, HWND owner) { return owner && (window == owner || IsChild(owner, window)); }

HWND CardWindow() { return GetMainWindow(); }

void EndTracking(HWND window) {
    HWND previous = nullptr;
    HCURSOR cursor = nullptr, drag = nullptr, splitter = nullptr;
    {
        MediaLibLock record;
        if (!record)
            return;
        previous = static_cast<HWND>(record->previousCapture);
        cursor = static_cast<HCURSOR>(record->previousCursor);
        drag = static_cast<HCURSOR>(record->dropCursor);
        splitter = static_cast<HCURSOR>(record->splitterCursor);
        record->tracking = 0;
        record->previousCapture = record->previousCursor = record->dropCursor = record->refuseCursor = nullptr;
        record->splitterCursor = nullptr;
    }
    if (GetCapture() == window)
        ReleaseCapture();
    if (previous && IsWindow(previous))
        SetCapture(previous);
    if (splitter)
        SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)));
    SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
    if (drag)
        DestroyCursor(drag);
    if (splitter)
        DestroyCursor(splitter);
}

void MakeDesktopShortcuts(HWND window) {
    for (;;) {
        ScopedHandle path(GetMediaLibItemPath(-1));
        if (!path.get())
            break;
        HandleLock lock(path.get());
        CreateShortcut(window, CSIDL_DESKTOPDIRECTORY, reinterpret_cast<const char*>(lock.get()), "");
    }
    EndMediaLibDrop();
}

void ReleaseItemDrag(HWND window, POINT client) {
    POINT screen = client;
    ClientToScreen(window, &screen);
    EndTracking(window);
    const int place = MediaLibDropPlace(window, screen);
    if (place == 1) {
        SetMediaLibDropPoint(screen);
        PostMessageA(CardWindow(), WM_DROPFILES, 0, kDropFromMediaLib);
    } else if (place == 2) {
        {
            MediaLibLock record;
            record->searchIndex = -1;
        }
        MakeDesktopShortcuts(window);
    } else {
        EndMediaLibDrop();
    }
}

RECT SplitterBand(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const RECT pane = DialogItemRect(window, kMediaLibPaneId), list = DialogItemRect(window, kMediaLibListId);
    return RECT{0, pane.bottom, client.right, list.top};
}

void InvertBand(HWND window, const RECT& band) {
    HDC dc = GetDC(window);
    PatBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, DSTINVERT);
    ReleaseDC(window, dc);
}

bool OnSplitter(HWND window, UINT message, POINT point) {
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    if (!IsWindowVisible(pane))
        return false;
    const RECT band = SplitterBand(window);
    uint32_t tracking = 0;
    RECT held{};
    {
        MediaLibLock record;
        if (!record)
            return false;
        tracking = record->tracking;
        held = RECT{record->band[0], record->band[1], record->band[2], record->band[3]};
    }
    if (tracking == kTrackingItem)
        return false;
    const bool inBand = PtInRect(&band, point) != 0;
    if (!tracking) {
        if (!inBand || message != WM_MOUSEMOVE)
            return false;
        HCURSOR sizer = static_cast<HCURSOR>(LoadImageA(GetAppInstance(), "SIZENS", IMAGE_CURSOR, 0, 0, 0));
        if (!sizer)
            sizer = static_cast<HCURSOR>(CopyImage(LoadCursorA(nullptr, IDC_SIZENS), IMAGE_CURSOR, 0, 0, 0));
        MediaLibLock record;
        record->tracking = kTrackingSplitter;
        record->previousCapture = SetCapture(window);
        record->previousCursor = GetCursor();
        record->splitterCursor = sizer;
        SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(sizer));
        SetCursor(sizer);
        return true;
    }
    const bool down = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    const bool dragging = held.bottom > held.top;
    if (message == WM_LBUTTONDOWN) {
        MediaLibLock record;
        record->band[0] = band.left; record->band[1] = band.top; record->band[2] = band.right; record->band[3] = band.bottom;
        InvertBand(window, band);
        return true;
    }
    if (message == WM_MOUSEMOVE && dragging && down) {
        const RECT paneRect = DialogItemRect(window, kMediaLibPaneId), listRect = DialogItemRect(window, kMediaLibListId);
        const int height = held.bottom - held.top, border = GetSystemMetrics(SM_CYBORDER);
        int top = point.y;
        if (top <= paneRect.top)
            top = paneRect.top + border;
        if (top + height >= listRect.bottom)
            top = listRect.bottom - border - height;
        InvertBand(window, held);
        const RECT moved{held.left, top, held.right, top + height};
        InvertBand(window, moved);
        MediaLibLock record;
        record->band[1] = moved.top;
        record->band[3] = moved.bottom;
        return true;
    }
    if (message == WM_LBUTTONUP && dragging) {
        InvertBand(window, held);
        RECT paneRect = DialogItemRect(window, kMediaLibPaneId), listRect = DialogItemRect(window, kMediaLibListId);
        paneRect.bottom = held.top;
        listRect.top = held.bottom;
        MoveWindow(pane, paneRect.left, paneRect.top, paneRect.right - paneRect.left, paneRect.bottom - paneRect.top, TRUE);
        MoveWindow(GetDlgItem(window, kMediaLibListId), listRect.left, listRect.top, listRect.right - listRect.left,
                   listRect.bottom - listRect.top, TRUE);
        {
            MediaLibLock record;
            std::memset(record->band, 0, sizeof record->band);
        }
        EndTracking(window);
        ResizePreviewChild(window);
        ScrollFocusedItemIntoView(window);
        return true;
    }
    if (message == WM_MOUSEMOVE && !inBand && !down) {
        EndTracking(window);
        return true;
    }
    return true;
}

}  // namespace

int MediaLibDropPlace(HWND browser, POINT screen) {
    HWND under = WindowFromPoint(screen);
    if (!under || IsUnder(under, browser) || IsUnder(under, GetToolPaletteWindow()) || IsUnder(under, GetFcolorsWindow()))
        return 0;
    HWND card = CardWindow();
    if (!card)
        return 2;
    HWND top = GetAncestor(card, GA_ROOT);
    RECT client{};
    GetClientRect(card, &client);
    POINT local = screen;
    ScreenToClient(card, &local);
    const bool inCard = PtInRect(&client, local) != 0;
    RECT frame{};
    GetWindowRect(top, &frame);
    // Over the page only its card window's client area takes the drop, and no child of it (a
    // text field, a movie); the page may be a window that lets hit tests pass through it.
    if ((IsWindowVisible(top) && PtInRect(&frame, screen)) || IsUnder(under, top)) {
        if (!inCard || !IsWindowEnabled(top))
            return 0;
        return under != card && IsUnder(under, card) ? 0 : 1;
    }
    return 2;
}

void BeginMediaLibItemDrag(HWND window) {
    HCURSOR drop = static_cast<HCURSOR>(LoadImageA(GetAppInstance(), "DRAGDROPCUR", IMAGE_CURSOR, 0, 0, 0));
    MediaLibLock record;
    if (!record)
        return;
    record->tracking = kTrackingItem;
    record->previousCapture = SetCapture(window);
    record->previousCursor = GetCursor();
    record->refuseCursor = LoadCursorA(nullptr, IDC_NO);
    record->dropCursor = drop;
}

bool OnMediaLibMouse(HWND window, UINT message, POINT point) {
    uint32_t tracking = 0;
    HCURSOR refuse = nullptr, drop = nullptr;
    {
        MediaLibLock record;
        if (!record)
            return false;
        tracking = record->tracking;
        refuse = static_cast<HCURSOR>(record->refuseCursor);
        drop = static_cast<HCURSOR>(record->dropCursor);
    }
    if (tracking != kTrackingItem)
        return OnSplitter(window, message, point);
    if (message == WM_MOUSEMOVE) {
        POINT screen = point;
        ClientToScreen(window, &screen);
        SetCursor(MediaLibDropPlace(window, screen) ? (drop ? drop : LoadCursorA(nullptr, IDC_ARROW)) : refuse);
        return true;
    }
    if (message == WM_LBUTTONUP) {
        ReleaseItemDrag(window, point);
        return true;
    }
    return false;
}

void DropFilesIntoMediaLib(HWND list, HDROP drop) {
    std::string folder;
    {
        MediaLibLock record;
        if (record)
            folder.assign(record->folder, strnlen(record->folder, kMediaLibFolderBytes));
    }
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && !folder.empty(); ++i) {
        char path[MAX_PATH + 1] = {};
        if (!DragQueryFileA(drop, i, path, sizeof path))
            continue;
        std::string target;
        const int code = ClassifyDroppedPath(path, &target);
        if (code == kMediaNone)
            continue;
        const char* slash = std::strrchr(path, '\\');
        const std::string copy = folder + "\\" + (slash ? slash + 1 : path);
        if (copy.size() > kMediaLibMaxPath)
            continue;
        // Never over an existing file.
        if (CopyFileA(path, copy.c_str(), TRUE))
            AddMediaLibItem(MediaCodeForFile(copy.c_str()), copy.c_str());
    }
    DragFinish(drop);
    (void)list;
}
