// The Media Browser window: its class, children, placement beside the page, layout and
// window procedure. There is no frame window: the browser is owned by, and placed beside, the
// card window's top-level window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>

#include "core/system/PluginModule.h"
#include "core/ui/PaletteCaption.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/palette/AppPalette.h"
#include "host/medialibrary/MediaBrowser.h"
#include "media/library/MediaLibServices.h"

namespace {

constexpr uint32_t kClassName = 1013;
constexpr uint32_t kTitle = 4191;
constexpr uint32_t kPreviewText = 4192;
constexpr uint32_t kColumnTexts[] = {4194, 4195, 4196};
constexpr int kWidth = 256, kHeight = 342;
constexpr int kStatusHeight = 30, kMargin = 4, kListGap = 8, kDropHeight = 90, kColumnWidth = 120;

WNDPROC g_statusProc = nullptr;
WNDPROC g_listProc = nullptr;

std::string Text(uint32_t id) {
    char text[128] = {};
    LoadResString(id, text, sizeof text);
    return text;
}

HWND TopLevelOfCard() {
    HWND card = GetMainWindow();
    return card ? GetAncestor(card, GA_ROOT) : nullptr;
}

// The status bar passes the Preview box's click on to the browser.
LRESULT CALLBACK StatusProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        return SendMessageA(GetParent(bar), message, wParam, lParam);
    return CallWindowProcA(g_statusProc, bar, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        DropFilesIntoMediaLib(list, reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CallWindowProcA(g_listProc, list, message, wParam, lParam);
}

bool RegisterBrowserClass(const std::string& name) {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetAppInstance(), name.c_str(), &existing))
        return true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MediaLibWndProc;
    wc.hInstance = GetAppInstance();
    wc.hIcon = LoadIconA(GetAppInstance(), "CAMCORDER");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.c_str();
    return RegisterClassA(&wc) != 0;
}

bool MakeChildren(HWND window) {
    HINSTANCE module = GetAppInstance();
    RECT client{};
    GetClientRect(window, &client);
    HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, client.bottom - kStatusHeight,
                                  client.right, kStatusHeight, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibStatusId)), module, nullptr);
    if (!status)
        return false;
    g_statusProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StatusProc)));
    RECT bar{};
    GetClientRect(status, &bar);
    const int boxHeight = bar.bottom / 2;
    HWND box = CreateWindowExA(0, "button", Text(kPreviewText).c_str(), WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, kMargin,
                               (bar.bottom - boxHeight) / 2, bar.right / 2, boxHeight, status,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibPreviewBoxId)), module, nullptr);
    const int top = PaletteCaptionHeight() + kMargin;
    HWND combo = CreateWindowExA(0, "combobox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT,
                                 kMargin, top, client.right - 2 * kMargin, kDropHeight, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibCategoryId)), module, nullptr);
    if (!box || !combo)
        return false;
    RECT comboRect{};
    GetWindowRect(combo, &comboRect);
    const int listTop = top + (comboRect.bottom - comboRect.top) + kMargin;
    const int listBottom = client.bottom - kStatusHeight - kListGap;
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SORTASCENDING,
                                kMargin, listTop, client.right - 2 * kMargin, listBottom - listTop, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibListId)), module, nullptr);
    if (!list)
        return false;
    g_listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    for (int i = 0; i < 3; ++i) {
        std::string text = Text(kColumnTexts[i]);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumnWidth;
        column.pszText = text.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(MediaLibIcons()));
    HWND pane = CreateWindowExA(0, "static", "", WS_CHILD | SS_SUNKEN, kMargin, listTop, client.right - 2 * kMargin,
                                (listBottom - listTop) / 2 - 2, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibPaneId)), module, nullptr);
    if (!pane)
        return false;
    SubclassMediaLibPane(pane);
    return true;
}

void MoveChild(HWND window, int id, const RECT& rect) {
    MoveWindow(GetDlgItem(window, id), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

bool PreviewOn(HWND window) {
    HWND status = GetDlgItem(window, kMediaLibStatusId);
    return IsDlgButtonChecked(status, kMediaLibPreviewBoxId) == BST_CHECKED;
}

void OnNotify(HWND window, const NMHDR* header) {
    if (header->idFrom != static_cast<UINT_PTR>(kMediaLibListId))
        return;
    if (header->code == LVN_BEGINDRAG) {
        BeginMediaLibItemDrag(window);
    } else if (header->code == LVN_COLUMNCLICK) {
        SortMediaLibList(window, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    } else if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_FOCUSED))
            return;
        const int key = static_cast<int>(change->lParam);
        {
            MediaLibLock record;
            if (!record || record->focusedKey == key)
                return;
            record->focusedKey = key;
        }
        CloseMediaLibPreview();
        ScopedHandle path(GetMediaLibItemPath(key));
        int code = 0;
        if (path.get())
            code = ClassifyDroppedFile(path.get());
        // A shortcut's own file is no file of its target's kind: it shows the title picture.
        if (code != kMediaNone && IsMediaLibShortcut(path.get()))
            code = kMediaNone;
        ShowMediaLibPreview(path.get(), code);
        if (PreviewOn(window))
            InvalidateRect(GetDlgItem(window, kMediaLibPaneId), nullptr, FALSE);
    }
}

void OpenSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, rect.left,
                                       rect.top + PaletteCaptionHeight(), 0, window, nullptr);
    if (command == SC_CLOSE)
        ShowWindow(window, SW_HIDE);
    else if (command)
        PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
}

}  // namespace

POINT PlaceMediaLibWindow(const RECT& frame, int cx, int cy, int width, int height) {
    POINT at{};
    const bool left = frame.left > cx, right = width - frame.right > cx;
    if (left || right) {
        at.x = left ? frame.left - cx - 1 : frame.right + 1;
        at.y = frame.top < 0 ? 0 : (frame.bottom <= height ? frame.top : height - cy);
        return at;
    }
    const bool above = frame.top > cy, below = height - frame.bottom > cy;
    if (above || below) {
        at.y = above ? frame.top - cy - 1 : frame.bottom + 1;
        at.x = frame.left < 0 ? 0 : (frame.right > width ? width - cx : frame.left);
        return at;
    }
    return POINT{(width - cx) / 2, (height - cy) / 2};
}

HWND CreateMediaLibWindow() {
    if (HWND existing = GetMediaLibWindow())
        return existing;
    const std::string name = Text(kClassName);
    if (name.empty() || !RegisterBrowserClass(name))
        return nullptr;
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES, name.c_str(),
                                  Text(kTitle).c_str(), WS_POPUP | WS_THICKFRAME | WS_SYSMENU, 0, 0, kWidth, kHeight,
                                  TopLevelOfCard(), nullptr, GetAppInstance(), nullptr);
    if (!window)
        return nullptr;
    if (!MakeChildren(window)) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

void LayoutMediaLibWindow(HWND window) {
    HWND status = GetDlgItem(window, kMediaLibStatusId);
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    if (!status || !pane)
        return;
    RECT client{};
    GetClientRect(window, &client);
    const RECT oldStatus = DialogItemRect(window, kMediaLibStatusId);
    const RECT statusRect{0, client.bottom - kStatusHeight, client.right, client.bottom};
    MoveChild(window, kMediaLibStatusId, statusRect);
    RECT combo = DialogItemRect(window, kMediaLibCategoryId);
    combo.right = client.right - combo.left;
    combo.bottom = combo.top + kDropHeight;
    MoveChild(window, kMediaLibCategoryId, combo);
    RECT paneRect = DialogItemRect(window, kMediaLibPaneId);
    paneRect.right = client.right - kMargin;
    paneRect.left = kMargin;
    paneRect.bottom += (statusRect.top - oldStatus.top) / 2;
    if (paneRect.bottom < paneRect.top)
        paneRect.bottom = paneRect.top;
    MoveChild(window, kMediaLibPaneId, paneRect);
    RECT listRect{kMargin, IsWindowVisible(pane) ? paneRect.bottom + kListGap : paneRect.top, client.right - kMargin,
                  statusRect.top - kListGap};
    MoveChild(window, kMediaLibListId, listRect);
    ResizePreviewChild(window);
}

void SetMediaLibPreviewOn(HWND window, bool on) {
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    const RECT paneRect = DialogItemRect(window, kMediaLibPaneId);
    RECT listRect = DialogItemRect(window, kMediaLibListId);
    const RECT statusRect = DialogItemRect(window, kMediaLibStatusId);
    const int gap = statusRect.top - listRect.bottom;
    ShowWindow(pane, on ? SW_SHOW : SW_HIDE);
    listRect.top = on ? paneRect.bottom + gap : paneRect.top;
    MoveChild(window, kMediaLibListId, listRect);
    ResizePreviewChild(window);
    if (on)
        InvalidateRect(pane, nullptr, FALSE);
    ScrollFocusedItemIntoView(window);
}

void ScrollFocusedItemIntoView(HWND window) {
    HWND list = GetDlgItem(window, kMediaLibListId);
    const int focused = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0)
        SendMessageA(list, LVM_ENSUREVISIBLE, focused, FALSE);
}

LRESULT CALLBACK MediaLibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        RECT frame{};
        if (HWND top = TopLevelOfCard())
            GetWindowRect(top, &frame);
        const POINT at = PlaceMediaLibWindow(frame, kWidth, kHeight, GetSystemMetrics(SM_CXSCREEN),
                                             GetSystemMetrics(SM_CYSCREEN));
        SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            LayoutMediaLibWindow(window);
        return 0;
    case WM_ACTIVATE: {
        RECT strip{0, 0, 0, PaletteCaptionHeight()};
        GetClientRect(window, &strip);
        strip.bottom = PaletteCaptionHeight();
        InvalidateRect(window, &strip, FALSE);
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        DrawPaletteCaption(window);
        return 0;
    }
    case WM_NCHITTEST:
        if (PtInPaletteCaption(window, static_cast<DWORD>(lParam), FALSE) &&
            !PtInPaletteCaption(window, static_cast<DWORD>(lParam), TRUE))
            return HTCAPTION;
        break;
    case WM_LBUTTONDOWN: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &screen);
        if (PtInPaletteCaption(window, MAKELONG(screen.x, screen.y), TRUE)) {
            OpenSystemMenu(window);
            return 0;
        }
        if (OnMediaLibMouse(window, message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        break;
    }
    case WM_SYSKEYUP:
        if (wParam == VK_SPACE) {
            OpenSystemMenu(window);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            ShowWindow(window, SW_HIDE);
            return 0;
        }
        break;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == kMediaLibPreviewBoxId) {
            SetMediaLibPreviewOn(window, PreviewOn(window));
        } else if (id == kMediaLibCategoryId && HIWORD(wParam) == CBN_SELCHANGE) {
            ChangeMediaLibCategory(window);
        } else if (id > kPreviewCardCommandBase) {
            ChooseMediaLibPreviewCard(window, id - kPreviewCardCommandBase);
        }
        return 0;
    }
    case WM_NOTIFY:
        OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (OnMediaLibMouse(window, message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        break;
    case WM_RBUTTONUP: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &screen);
        if (OnMediaLibPreviewMenu(window, screen))
            return 0;
        break;
    }
    case WM_QUERYNEWPALETTE:
        RealizeAppPalette(window, GetAppPalette());
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != window)
            RealizeAppPalette(window, GetAppPalette());
        return 0;
    case WM_DESTROY: {
        MediaLibLock record;
        if (record && record->window == window)
            record->window = nullptr;
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
