// The cursors of the current card (CursorCache_win.cpp): built-in ones from the module's
// resources and the stack's 'Crsr' resources, loaded on first use and kept until the card is
// left; animated ones stepped on timer 69 (17 ms) while the mouse is over the card window; and
// the cursor hidden while the user types.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

inline constexpr UINT_PTR kCursorAnimTimerId = 69;
inline constexpr UINT kCursorAnimMilliseconds = 17;
inline constexpr uint16_t kFirstBuiltInCursor = 28016;
inline constexpr uint16_t kLastBuiltInCursor = 28368;  // in steps of 16
inline bool IsBuiltInCursorId(uint16_t id) { return id >= kFirstBuiltInCursor && id <= kLastBuiltInCursor; }

// The cursor of an id, 0 for id 0 or one that cannot be had (the caller keeps its own).
HCURSOR GetCursorById(uint16_t id);
void SetCursorAnimTimer(bool on);
// Timer 69: 1 when a frame was handled.
int StepAnimatedCursor();
// Stops the timer and destroys every cursor (leaving a card).
void ResetCursorCache();
// The same, and the cache itself (shut-down).
void FreeCursorCache();
// Entries loaded (tests).
size_t CursorCacheCount();

// Where stack cursors come from: the 'Crsr' data of an id in memory order, empty when none.
// The object layer reads them; host/wiring/WireCore_win.cpp installs its reader.
using CursorDataSource = std::vector<uint8_t> (*)(uint16_t id);
void SetCursorDataSource(CursorDataSource source);
// An icon-directory block (a .cur or .ico file's bytes) as a cursor of the system cursor size:
// its best-fitting image; 0 when it has none.
HCURSOR CursorFromIconBlock(std::span<const uint8_t> block);

// Hiding while typing: 0 shown; 1 hidden while typing; 2 the same, shown again once the mouse
// moves; 3 asks to show it again when the mouse moved.
void SetCursorHideMode(int mode);
int GetCursorHideMode();
// The card window's mouse move while the mode is 2 (mode 3).
inline void ShowCursorHiddenByTyping() { SetCursorHideMode(3); }
inline void StopAnimatedCursor() { SetCursorAnimTimer(false); }
