// The browser's categories (subfolders of the library root) and its file list: filling it,
// sorting it on a column (the date on the file times).
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "core/ui/Resources.h"
#include "host/medialibrary/MediaBrowser.h"
#include "media/library/MediaLibPaths.h"
#include "media/library/MediaLibServices.h"

namespace {

std::string RootName() {
    char text[64] = {};
    LoadResString(kLibraryRootName, text, sizeof text);
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool Store(const std::string& path, char* folder, size_t size) {
    if (path.size() + 1 > size || path.size() > kMediaLibMaxPath)
        return false;
    std::memcpy(folder, path.c_str(), path.size() + 1);
    return true;
}

std::string ComboText(HWND combo, int index) {
    const int length = static_cast<int>(SendMessageA(combo, CB_GETLBTEXTLEN, index, 0));
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

struct SortContext {
    HWND list;
    int column;
    int sign;
};

std::string CellText(HWND list, LPARAM key, int column) {
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = key;
    const int index = static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    char text[MAX_PATH + 1] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM context) {
    const auto* sort = reinterpret_cast<const SortContext*>(context);
    int result = 0;
    if (sort->column == 2) {
        // The file times themselves: the two-digit years of the text would put 2001 before 1999.
        const FILETIME ta = MediaLibItemTime(a), tb = MediaLibItemTime(b);
        result = CompareFileTime(&ta, &tb);
    } else {
        result = lstrcmpiA(CellText(sort->list, a, sort->column).c_str(), CellText(sort->list, b, sort->column).c_str());
    }
    return result * sort->sign;
}

}  // namespace

bool FillMediaLibCategories(HWND window, char* folder, size_t size) {
    HWND combo = GetDlgItem(window, kMediaLibCategoryId);
    if (!combo || !folder)
        return false;
    const std::string root = RootName();
    std::string path = folder;
    const bool isRoot = SameName(LastPathComponent(path), root);
    const std::string rootPath = isRoot ? path : ParentPath(path);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((rootPath + "\\*.*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::strcmp(found.cFileName, ".") != 0 &&
                std::strcmp(found.cFileName, "..") != 0)
                SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    if (SendMessageA(combo, CB_GETCOUNT, 0, 0) <= 0)
        return false;
    if (!isRoot) {
        const int index = static_cast<int>(
            SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(LastPathComponent(path).c_str())));
        if (index >= 0) {
            SendMessageA(combo, CB_SETCURSEL, index, 0);
            return true;
        }
    }
    const std::string first = rootPath + "\\" + ComboText(combo, 0);
    if (!Store(first, folder, size))
        return false;
    WriteMediaFolderValue(folder);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    return true;
}

void FillMediaLibList(HWND list, const char* folder) {
    ClearMediaLibItems(list);
    if (!list || !folder || !*folder)
        return;
    const std::string base = folder;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((base + "\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::string path = base + "\\" + found.cFileName;
        const int code = MediaCodeForFile(path.c_str());
        if (code != kMediaNone)
            InsertMediaLibItem(list, found.cFileName, code, found.ftLastWriteTime);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

void SetupMediaLibList(HWND window, const char* folder) {
    HWND list = GetDlgItem(window, kMediaLibListId);
    SetWindowLongA(list, GWL_STYLE, (GetWindowLongA(list, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
    FillMediaLibList(list, folder);
}

void SortMediaLibList(HWND window, int column) {
    if (column < 0 || column > 2)
        return;
    const int32_t columnKey = kSortByName + column;
    int32_t key = columnKey;
    {
        MediaLibLock record;
        if (!record)
            return;
        // The column already sorted is reversed; another is sorted ascending.
        if (record->sortKey == columnKey)
            key = -columnKey;
        record->sortKey = key;
    }
    SortContext context{GetDlgItem(window, kMediaLibListId), column, key < 0 ? -1 : 1};
    SendMessageA(context.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(CompareItems));
    ScrollFocusedItemIntoView(window);
}

void ChangeMediaLibCategory(HWND window) {
    HWND combo = GetDlgItem(window, kMediaLibCategoryId);
    const std::string name = ComboText(combo, static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
    std::string folder;
    {
        MediaLibLock record;
        if (!record)
            return;
        folder.assign(record->folder, strnlen(record->folder, kMediaLibFolderBytes));
    }
    if (name.empty() || SameName(name, LastPathComponent(folder)))
        return;
    std::string next;
    if (SameName(name, RootName()))
        next = ParentPath(folder);
    else if (SameName(LastPathComponent(folder), RootName()))
        next = folder + "\\" + name;
    else
        next = ParentPath(folder) + "\\" + name;
    if (next.size() > kMediaLibMaxPath)
        return;
    {
        MediaLibLock record;
        std::memcpy(record->folder, next.c_str(), next.size() + 1);
        record->focusedKey = -1;
    }
    WriteMediaFolderValue(next.c_str());
    FillMediaLibList(GetDlgItem(window, kMediaLibListId), next.c_str());
    CloseMediaLibPreview();
    ShowMediaLibPreview(0, 0);
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    if (IsWindowVisible(pane))
        InvalidateRect(pane, nullptr, FALSE);
}
