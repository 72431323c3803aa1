// The card message handler: every message of the card window passes here first (through
// PluginWndProc); nonzero consumes it, zero lets the browser's procedure have it as well.
//
//   host/state/CardHandlerState.h  what the handler keeps between messages; stack words it reads
//   CardMessageHandler_win.cpp  pre-dispatch and the message table
//   CardKeys_win.cpp            key-down, key-up and characters
//   CardClicks_win.cpp          left button down by tool, browse click, double click, placement
//   CardPaint_win.cpp           the paint routine, the window edge, palette realisation
//   MouseDispatch_win.cpp       mouse-move, button-up and mouse-up dispatch (with MouseHooks.h)
#pragma once

#include "host/player/EditsInProgress.h"

#include <windows.h>

#include <cstdint>

// ---- CardMessageHandler_win.cpp ----
LRESULT CardMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The point of a mouse message: lParam, device to logical units in the window's DC and, with
// unmagnify, into the unmagnified card; raw receives the logical point before that (may be null).
POINT CardPointFromLParam(HWND window, LPARAM lParam, bool unmagnify, POINT* raw = nullptr);
// The window's default child-window processing of a message.
LRESULT DefaultChildProcessing(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- CardKeys_win.cpp ----
LRESULT OnCardKeyDown(HWND window, WPARAM key, LPARAM lParam);
LRESULT OnCardKeyUp(HWND window, WPARAM key, LPARAM lParam);
LRESULT OnCardChar(HWND window, WPARAM character, LPARAM lParam);
// Posts a mouse-move at the cursor's place so that the cursor follows a tool change.
void PostCursorUpdate(HWND window);

// ---- CardClicks_win.cpp ----
LRESULT OnCardLeftButtonDown(HWND window, WPARAM keyState, LPARAM lParam);
LRESULT OnCardDoubleClick(HWND window, WPARAM keyState, LPARAM lParam);
// 1 when the current card has a click action (run with label 2032), else 0.
int RunCardClickAction();

// ---- CardPaint_win.cpp ----
void RedrawCardFrame(HWND window, int left, int top, int right, int bottom);
// Height in the high 16 bits, width in the low 16 bits.
uint32_t MeasureText(HDC dc, const char* text, int length);

// ---- MouseDispatch_win.cpp ----
LRESULT DispatchCardMouseMove(HWND window, WPARAM keyState, LPARAM lParam);
// The buttons under a card point follow the mouse: a press in progress, or a rollover onto a
// button, which performs its actions. True when the move was the buttons'.
bool TrackButtonsAt(HWND window, int x, int y);
LRESULT DispatchCardButtonUp(HWND window, WPARAM keyState, LPARAM lParam);
void DispatchCardMouseUp(HWND window, WPARAM keyState, LPARAM lParam, UINT message);

inline constexpr uint32_t kStringCardClickLabel = 2032;   // "Click on card action"
inline constexpr uint32_t kStringStackClickLabel = 2035;  // "Click on stack action"
inline constexpr uint32_t kAlertDisplayModeChanged = 2355;
