// The Media Browser: the floating window of the media library, its category box, file list and
// preview pane, opened and toggled by menu command 403.
//
//   MediaBrowser_win.cpp          life, OpenMediaLib, the menu item
//   MediaBrowserWindow_win.cpp    class, children, placement, layout, window procedure
//   MediaBrowserList_win.cpp      categories, the list's rows and sorting
//   MediaBrowserDrag_win.cpp      item drags out, files dropped in, the splitter
//   MediaBrowserPreview_win.cpp   the preview pane and its builders
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

#include "core/memory/Handles.h"

inline constexpr int kMediaLibCommand = 403;

// Start-up: makes the record (true when made); shut-down: destroys the window and its class,
// the image list and the preview, and frees the record.
bool AllocMediaLib();
void CloseMediaLib();
// Command 403: toggles the window, or finds the folder and opens it; a failure gives the
// library up for the run.
void OpenMediaLib();
// The text of item 403 by the window's visibility; greyed once the library is given up.
void UpdateMediaLibMenuItem(HMENU menu);

HWND CreateMediaLibWindow();
bool FillMediaLibCategories(HWND window, char* folder, size_t size);
void SetupMediaLibList(HWND window, const char* folder);
void FillMediaLibList(HWND list, const char* folder);
LRESULT CALLBACK MediaLibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Where a cx by cy browser goes beside the frame rectangle on a screen of width by height.
POINT PlaceMediaLibWindow(const RECT& frame, int cx, int cy, int width, int height);
// Lays the children out for a client area.
void LayoutMediaLibWindow(HWND window);
void SortMediaLibList(HWND window, int column);
void ChangeMediaLibCategory(HWND window);
void SetMediaLibPreviewOn(HWND window, bool on);
void ScrollFocusedItemIntoView(HWND window);

// Item drags, the splitter and files dropped into the list (MediaBrowserDrag_win.cpp).
void BeginMediaLibItemDrag(HWND window);
bool OnMediaLibMouse(HWND window, UINT message, POINT point);
void DropFilesIntoMediaLib(HWND list, HDROP drop);
// Whether a screen point takes a drag from the list: 1 the card window, 2 elsewhere, 0 no.
int MediaLibDropPlace(HWND browser, POINT screen);

// The preview pane (MediaBrowserPreview_win.cpp).
bool ShowMediaLibPreview(Handle path, int code);
void CloseMediaLibPreview();
void ResizePreviewChild(HWND window);
void SubclassMediaLibPane(HWND pane);
bool OnMediaLibPreviewMenu(HWND window, POINT screen);
void ChooseMediaLibPreviewCard(HWND window, int card);
inline constexpr int kPreviewCardCommandBase = 31000;
