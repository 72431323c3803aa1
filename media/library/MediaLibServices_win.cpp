// The media library's window, its list rows and the services other layers call.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/ui/Resources.h"
#include "core/system/PluginModule.h"
#include "media/MediaLibrary.h"
#include "media/library/MediaLibServices.h"

namespace {

std::vector<FILETIME> g_itemTimes;  // by key
HIMAGELIST g_icons = nullptr;
HWND g_textItemWindow = nullptr;

// The icons of the kinds, in kMediaKinds order; a name, or the id of a numbered icon.
constexpr const char* kKindIcons[] = {"HAND", nullptr, nullptr, "AALM", "EYEDROP", "ERASEPEN",
                                      "FILMSTRIP", nullptr, "GRABHAND", "PCAN", "FLATHAND"};
constexpr int kKindIconIds[] = {0, 28128, 28144, 0, 0, 0, 0, 28160, 0, 0, 0};
constexpr int kShortcutKind = 7;

int KindIndex(int code) {
    for (size_t i = 0; i < kMediaKinds.size(); ++i)
        if (kMediaKinds[i].code == code)
            return static_cast<int>(i);
    // Rich text and animated GIFs show as links.
    return kShortcutKind;
}

std::string RecordFolder() {
    MediaLibLock record;
    if (!record)
        return {};
    return std::string(record->folder, strnlen(record->folder, kMediaLibFolderBytes));
}

std::string ItemName(HWND list, int index) {
    // Names may be as long as a path; the row keeps them whole.
    std::vector<char> text(MAX_PATH + 1, 0);
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return text.data();
}

int IndexOfKey(HWND list, int key) {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = key;
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

Handle PathHandle(const std::string& folder, const std::string& name) {
    const std::string path = folder + "\\" + name;
    Handle h = NewHandle(static_cast<uint32_t>(path.size() + 1));
    if (h) {
        HandleLock lock(h);
        std::memcpy(lock.get(), path.c_str(), path.size() + 1);
    }
    return h;
}

}  // namespace

HWND GetMediaLibWindow() {
    MediaLibLock record;
    return record ? static_cast<HWND>(record->window) : nullptr;
}

HWND GetMediaLibList() {
    HWND window = GetMediaLibWindow();
    return window ? GetDlgItem(window, kMediaLibListId) : nullptr;
}

HIMAGELIST MediaLibIcons() {
    if (g_icons)
        return g_icons;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    g_icons = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, static_cast<int>(kMediaLibListIcons), 0);
    if (!g_icons)
        return nullptr;
    for (size_t i = 0; i < kMediaKinds.size(); ++i) {
        const char* name = kKindIcons[i] ? kKindIcons[i] : MAKEINTRESOURCEA(kKindIconIds[i]);
        HICON icon = static_cast<HICON>(LoadImageA(GetAppInstance(), name, IMAGE_ICON, cx, cy, 0));
        if (!icon)
            icon = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_ICON, cx, cy, LR_SHARED));
        ImageList_AddIcon(g_icons, icon);
        if (icon)
            DestroyIcon(icon);
    }
    return g_icons;
}

void DestroyMediaLibIcons() {
    if (g_icons)
        ImageList_Destroy(g_icons);
    g_icons = nullptr;
}

void ClearMediaLibItems(HWND list) {
    if (list)
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    g_itemTimes.clear();
}

int InsertMediaLibItem(HWND list, const char* name, int code, const FILETIME& modified) {
    if (!list || !name || !*name)
        return -1;
    const int key = static_cast<int>(g_itemTimes.size());
    const int kind = KindIndex(code);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(name);
    item.iImage = kind;
    item.lParam = key;
    const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return -1;
    g_itemTimes.push_back(modified);
    char type[64] = {};
    LoadResString(kMediaKinds[static_cast<size_t>(kind)].typeText, type, sizeof type);
    LVITEMA sub{};
    sub.iSubItem = 1;
    sub.pszText = type;
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    FILETIME local{};
    SYSTEMTIME time{};
    char date[16] = {};
    if (FileTimeToLocalFileTime(&modified, &local) && FileTimeToSystemTime(&local, &time))
        std::snprintf(date, sizeof date, "%02d/%02d/%02d", time.wMonth, time.wDay, time.wYear % 100);
    sub.iSubItem = 2;
    sub.pszText = date;
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    return index;
}

FILETIME MediaLibItemTime(LPARAM key) {
    if (key < 0 || static_cast<size_t>(key) >= g_itemTimes.size())
        return {};
    return g_itemTimes[static_cast<size_t>(key)];
}

int GetMediaLibSelectedCount() {
    HWND list = GetMediaLibList();
    return list ? static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

Handle GetMediaLibItemPath(int key) {
    HWND list = GetMediaLibList();
    const std::string folder = RecordFolder();
    if (!list || folder.empty())
        return 0;
    int index = -1;
    if (key >= 0) {
        index = IndexOfKey(list, key);
    } else {
        int after = -1;
        {
            MediaLibLock record;
            after = record->searchIndex;
        }
        index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
        if (index >= 0) {
            MediaLibLock record;
            record->searchIndex = index;
        }
    }
    if (index < 0)
        return 0;
    const std::string name = ItemName(list, index);
    return name.empty() ? 0 : PathHandle(folder, name);
}

void SetMediaLibDropPoint(POINT screen) {
    MediaLibLock record;
    if (!record)
        return;
    record->dropX = screen.x;
    record->dropY = screen.y;
    record->searchIndex = -1;
}

POINT GetMediaLibDropPoint(HWND window, POINT point) {
    MediaLibLock record;
    if (!record)
        return point;
    POINT drop{record->dropX, record->dropY};
    if (window)
        ScreenToClient(window, &drop);
    return drop;
}

void EndMediaLibDrop() {
    MediaLibLock record;
    if (!record)
        return;
    record->dropX = record->dropY = 0;
    record->searchIndex = -1;
}

bool IsPointOverMediaLib(HWND window, POINT point) {
    HWND list = GetMediaLibList();
    if (!list || !IsWindowVisible(list))
        return false;
    if (window)
        ClientToScreen(window, &point);
    RECT rect{};
    GetWindowRect(list, &rect);
    return PtInRect(&rect, point) != 0;
}

int AddMediaLibItem(int code, const char* path) {
    HWND list = GetMediaLibList();
    if (!list || !path)
        return 0;
    const char* slash = std::strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    if (!*name)
        return 0;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    return InsertMediaLibItem(list, name, code, found.ftLastWriteTime) >= 0 ? 1 : 0;
}

void SetMediaLibTextItemWindow(HWND window) { g_textItemWindow = window; }

bool IsMediaLibTextItem(HWND window) {
    if (!window || window != g_textItemWindow)
        return false;
    MediaLibLock record;
    return record && record->previewKind == static_cast<uint32_t>(kMediaTextObject);
}
