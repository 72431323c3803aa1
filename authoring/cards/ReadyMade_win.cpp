// The "Ready Made Cards" submenu: the folder walk that fills it, the command of each item, and
// the report of how many cards came in.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/MenuBar.h"
#include "core/ui/Resources.h"
#include "layers/CardFlush.h"
#include "graphics/pixels/CardOffscreen.h"
#include "resources/info_ids.h"
#include "stack/cards/CardEdit.h"
#include "stack/depth/StackDepth.h"
#include "authoring/cards/CardImport.h"
#include "authoring/cards/ReadyMade.h"
#include "authoring/cards/ReadyMadeMenu.h"

namespace {

constexpr int kReadyMadeItemPosition = 8;  // in the Edit menu
constexpr int kMaxFolderDepth = 16;  // folders are nested by people, never this deep
constexpr size_t kFolderNameSize = 65;

bool IsPlainFile(const WIN32_FIND_DATAA& found) {
    return !(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY));
}

bool IsSubfolder(const WIN32_FIND_DATAA& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::strcmp(found.cFileName, ".") != 0 &&
           std::strcmp(found.cFileName, "..") != 0;
}

// The names of a folder's entries matching pattern, sorted so the menu does not depend on the
// file system's order.
std::vector<WIN32_FIND_DATAA> ListFolder(const std::string& folder, const char* pattern) {
    std::vector<WIN32_FIND_DATAA> entries;
    if (folder.size() + 1 + std::strlen(pattern) >= MAX_PATH)
        return entries;
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return entries;
    do
        entries.push_back(found);
    while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(entries.begin(), entries.end(), [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
        return lstrcmpiA(a.cFileName, b.cFileName) < 0;
    });
    return entries;
}

HMENU GetSubSubMenu(HWND window) {
    const HMENU bar = window ? GetMenu(window) : nullptr;
    const HMENU edit = bar ? GetSubMenu(bar, kEditMenuPosition) : nullptr;
    return edit ? GetSubMenu(edit, kReadyMadeItemPosition) : nullptr;
}

// The folder "RdyMCard" beside the program; empty without the string.
std::string ReadyMadeFolder() {
    char name[kFolderNameSize] = {};
    if (LoadResString(kStringReadyMadeFolder, name, sizeof name) <= 0 || !name[0])
        return {};
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotProgram, sizeof path, path);
    // Slot 6 names the program file: the folder goes beside it.
    SetPathFileName(name, path, sizeof path);
    std::string folder = path;
    return folder;
}

bool NoteReportTextOn(HWND dialog, LPARAM text) {
    SetDlgItemTextA(dialog, RMCOUNT_TEXT, reinterpret_cast<const char*>(text));
    return true;
}

}  // namespace

bool FolderHasStacks(const std::string& folder) {
    for (const WIN32_FIND_DATAA& found : ListFolder(folder, "*.*"))
        if (IsSubfolder(found) || (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                   IsReadyMadeStackName(found.cFileName)))
            return true;
    return false;
}

void AddReadyMadeMenuItems(const std::string& folder, HMENU menu, uint32_t* nextId, int depth) {
    if (!menu || !nextId || depth > kMaxFolderDepth)
        return;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    std::vector<std::string> subfolders;
    bool hasStack = false;
    for (const WIN32_FIND_DATAA& found : ListFolder(folder, "*.*")) {
        const std::string path = folder + "\\" + found.cFileName;
        if (IsSubfolder(found) && path.size() < kReadyMadePathSize && FolderHasStacks(path))
            subfolders.push_back(found.cFileName);
        if (IsPlainFile(found) && IsReadyMadeStackName(found.cFileName))
            hasStack = true;
    }
    if (depth == 0) {
        if (!hasStack && subfolders.empty())
            return;
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
    for (const std::string& name : subfolders) {
        const HMENU sub = CreatePopupMenu();
        if (!sub)
            continue;
        if (!AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), name.c_str())) {
            DestroyMenu(sub);
            continue;
        }
        AddReadyMadeMenuItems(folder + "\\" + name, sub, nextId, depth + 1);
    }
    for (const WIN32_FIND_DATAA& found : ListFolder(folder, "*.stk")) {
        if (!IsPlainFile(found) || lstrlenA(found.cFileName) < 5 ||
            lstrcmpiA(found.cFileName + lstrlenA(found.cFileName) - 4, ".stk") != 0)
            continue;
        const std::string path = folder + "\\" + found.cFileName;
        // Ids past 599 would run other commands, and longer paths do not fit an entry.
        if (*nextId > kLastReadyMadeCommand || path.size() >= kReadyMadePathSize)
            continue;
        AppendMenuA(menu, MF_STRING, *nextId, found.cFileName);
        AddReadyMadeEntry(path, *nextId);
        ++*nextId;
    }
}

void BuildReadyMadeMenuIn(HMENU submenu) {
    const std::string folder = ReadyMadeFolder();
    if (folder.empty() || !submenu)
        return;
    ClearReadyMadeList();
    uint32_t nextId = kFirstReadyMadeStack;
    AddReadyMadeMenuItems(folder, submenu, &nextId, 0);
}

HMENU ReadyMadeSubmenuOf(HMENU bar) {
    const HMENU edit = bar ? GetSubMenu(bar, kEditMenuPosition) : nullptr;
    return edit ? GetSubMenu(edit, kReadyMadeItemPosition) : nullptr;
}

void BuildReadyMadeMenu(HWND window) {
    if (const HMENU submenu = GetSubSubMenu(window)) {
        BuildReadyMadeMenuIn(submenu);
        return;
    }
    // Without a frame menu the list is built on a copy of the main menu, which the menu
    // request loads the same way.
    const HMENU bar = ResLoadMenu("LM");
    BuildReadyMadeMenuIn(ReadyMadeSubmenuOf(bar));
    if (bar)
        DestroyMenu(bar);
}

INT_PTR CALLBACK RmCountDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        RECT r{};
        GetWindowRect(dialog, &r);
        SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        NoteReportTextOn(dialog, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

void ShowImportCount(const char* fileName, int count) {
    char prefix[201] = {}, middle[256] = {};
    LoadResString(kStringImportedPrefix, prefix, sizeof prefix);
    LoadResString(kStringImportedMiddle, middle, sizeof middle);
    const std::string text = ImportCountText(prefix, count, middle, fileName);
    const HWND card = GetCardWindow();
    ResDialogBoxParam(IsWindow(card) ? card : nullptr, RmCountDlgProc, "RMCOUNT", reinterpret_cast<LPARAM>(text.c_str()));
}

void HandleReadyMadeCardMenu(int command) {
    CheckStackDepthAgainstDisplay();
    switch (command) {
    case kReadyMadeNewCard: NewCard(true, false); MarkCardChanged(); return;
    case kReadyMadeSameBackground: NewCard(false, false); MarkCardChanged(); return;
    case kReadyMadeGroupCard: NewCard(false, true); MarkCardChanged(); return;
    default: break;
    }
    if (!IsReadyMadeListBuilt())
        BuildReadyMadeMenu(nullptr);
    const std::string path = FindReadyMadePath(static_cast<uint32_t>(command));
    if (path.empty())
        return;
    if (!FileExists(path.c_str()))
        return;
    // The current card's pending edits go into its record before the card list grows.
    FlushCardEdits();
    ImportCardsFromStack(path.c_str());
}
