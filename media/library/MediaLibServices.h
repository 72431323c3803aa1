// What the rest of the plug-in asks of the media library: its window and list, the selection
// walk and drop point of a drag onto the card, files added to it, the registry value naming
// its folder, the folder search and the shell shortcuts it follows and makes. Every service
// locks the record itself and answers nothing (0, false) without one.
//
//   MediaLibServices_win.cpp   window, list items, selection walk, drop point
//   MediaLibFolder_win.cpp     registry value, folder search, HasSubfolder
//   Shortcuts_win.cpp          following and making shell shortcuts, ClassifyDroppedFile
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/memory/Handles.h"
#include "media/library/MediaCodes.h"
#include "media/library/MediaLibPaths.h"
#include "media/library/MediaLibRecord.h"

// Child ids of the browser.
inline constexpr int kMediaLibStatusId = 100;
inline constexpr int kMediaLibPreviewBoxId = 101;
inline constexpr int kMediaLibCategoryId = 102;
inline constexpr int kMediaLibListId = 103;
inline constexpr int kMediaLibPaneId = 104;
inline constexpr int kMediaLibRichEditId = 105;
inline constexpr UINT kMediaLibListIcons = 11;
inline constexpr uint32_t kLibraryRootName = 4193;  // "Media Library"

// Who dropped files on the card window: the lParam of its WM_DROPFILES.
inline constexpr LPARAM kDropFromShell = 0;
inline constexpr LPARAM kDropFromMediaLib = 1;
inline constexpr LPARAM kDropFromTextField = 2;

HWND GetMediaLibWindow();
HWND GetMediaLibList();

// The list's rows: the full file name, icon and type text by code, the date of the file time.
// The key (item data) is the row's index at insertion; the file time is kept beside it for the
// date sort.
void ClearMediaLibItems(HWND list);
int InsertMediaLibItem(HWND list, const char* name, int code, const FILETIME& modified);
FILETIME MediaLibItemTime(LPARAM key);
// The small image list of the eleven kinds' icons (made once, freed by DestroyMediaLibIcons).
HIMAGELIST MediaLibIcons();
void DestroyMediaLibIcons();

int GetMediaLibSelectedCount();
// A new handle with folder, backslash and the item's full name; key -1 walks the selection.
Handle GetMediaLibItemPath(int key);
POINT GetMediaLibDropPoint(HWND window, POINT point);
void SetMediaLibDropPoint(POINT screen);
void EndMediaLibDrop();
bool IsPointOverMediaLib(HWND window, POINT point);
int AddMediaLibItem(int code, const char* path);
bool IsMediaLibTextItem(HWND window);
// What the preview's text object window is, for IsMediaLibTextItem (null when none).
void SetMediaLibTextItemWindow(HWND window);

// The registry value "Media Folder".
bool ReadMediaFolderValue(char* buffer, int size);
bool WriteMediaFolderValue(const char* path);
// The library folder by the registry value, the "Media Library" subfolder of the program
// folder, or a shortcut there; false when none is found, after ExplainMissingMediaLib.
bool FindMediaLibFolder(char* out, size_t size);
// Alert 4556 with where the library folder is expected (beside the plug-in) and how to make it:
// each opening that finds no library, or one without a kind's folder, shows it.
void ExplainMissingMediaLib();
// Whether the folder holds a subfolder of that name (case ignored); the current folder is
// never changed.
bool HasSubfolder(const char* name, const char* folder);

bool ResolveShortcut(const char* path, char* out, size_t size);
// Follows shortcuts to shortcuts, 16 links at most: false for a cycle or a longer chain.
bool ResolveShortcutChain(const char* path, char* out, size_t size);
bool CreateShortcut(HWND window, int specialFolder, const char* targetPath, const char* description);
// The code of the file a path names: 0 when it is missing or a folder; shortcuts followed.
int ClassifyDroppedFile(Handle path);
// The same for a path; target (when given) receives the file the code is of.
int ClassifyDroppedPath(const char* path, std::string* target = nullptr);
// Whether the file named in the handle is itself a shortcut.
bool IsMediaLibShortcut(Handle path);
