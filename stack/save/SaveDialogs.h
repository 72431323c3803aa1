// The stack's Open and Save dialogs (SaveDialogs_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"

inline constexpr uint16_t kTitleSelectStack = 2405;
inline constexpr uint16_t kTitleSelectText = 2408;
inline constexpr int kStackFileType = 11;

// The Open dialog for a stack, starting from the stack of `startSlot`: true with the choice in
// *chosen when one was chosen.
bool ChooseStackFile(HWND owner, int startSlot, FileSpec* chosen);
// The save dialog in a mode (SaveDialogMode): the chosen path into `path` (pathSize bytes) and,
// with its name, into the mode's slot when it has one; the file title into `title` when it
// fits. *filterIndex (may be null) gets the chosen filter.
bool AskSaveStackFile(HWND owner, int mode, char* path, size_t pathSize, char* title = nullptr, int titleSize = 0,
                      int* filterIndex = nullptr);
// A text file chosen by the person, read whole (alert 2224 when it cannot be read).
bool ImportTextFile(Handle* out);

// The commands (SaveStack_win.cpp): Save saves to the stack's own file, asking first when the
// stack was converted when it was opened, or when another program changed the file since it
// was opened or saved; Save As asks for a name. SaveStackAs: 1 saved, 0 not.
int SaveStackCommand();
// Whether the Save command asks first: the stack's pictures were converted (its colours or its
// format) to show it.
bool SaveStackCommandAsks();
int SaveStackAs();
