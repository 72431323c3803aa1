// Resources of the module: strings, data, dialogs and menus, found by id or name. Every lookup
// first asks the resource module (a separate module that could carry translated resources;
// none is ever set) and then the plug-in's own module (GetAppInstance, core/system/PluginModule.h).
//
// Names are resource names ("DOGIEHELP") or MAKEINTRESOURCE ids. String runs and the LoomLogo
// vocabulary are in core/text/StringRuns.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

HMODULE GetResModule();  // null unless a resource module was set

// Strings. A missing string leaves an empty buffer and gives 0; otherwise the length (the
// text is cut to bufferSize - 1 characters).
int LoadResString(uint32_t id, char* buffer, int bufferSize);
void LoadResStringN(uint16_t id, char* buffer, uint16_t size);
// The string as text, at most 255 characters; empty when it is missing.
std::string ResText(uint32_t id);

// A new heap copy (free with std::free) of the string, at most 255 characters; null when the
// string is missing or empty.
char* DupResString(uint32_t id);

// Element i receives DupResString(firstId + i). 1 when all count strings loaded (also for a
// count below 1), 0 when any is missing; the others are stored all the same.
int LoadStringRun(uint32_t firstId, char** strings, int count);

// Data: the resource's bytes (read-only, living as long as the module), or null; its size in
// bytes goes to *size when asked (0 when not found).
const void* LoadResData(const char* name, const char* type, uint32_t* size = nullptr);

// Dialogs: the result of the modal dialog (-1 when neither module could create it), or the
// modeless window (null when neither could). The parent is the window the caller opens it on:
// the dialog's owner and place follow from it (core/ui/dialogs/DialogOwner.h).
INT_PTR ResDialogBox(HWND parent, DLGPROC proc, const char* templateName);
INT_PTR ResDialogBoxParam(HWND parent, DLGPROC proc, const char* templateName, LPARAM param);
HWND ResCreateDialog(HWND parent, DLGPROC proc, const char* templateName);
HWND ResCreateDialogParam(HWND parent, DLGPROC proc, const char* templateName, LPARAM param);

// Menus: null when neither module has it.
HMENU ResLoadMenu(const char* name);
// Bitmaps (the caller deletes them): null when neither module has it.
HBITMAP ResLoadBitmap(const char* name);

// Width and height of a "DIB" resource of the module; both 0 when it is missing or short.
SIZE GetDibResourceSize(const char* name);
