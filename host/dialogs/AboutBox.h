// The about box (template "ABOUT"): the title picture, a notice line, the version line and a
// black panel in which the credits scroll up while the box is active; a click closes it.
#pragma once

#include <windows.h>

#include <string>

// The credits panel and its text area in the window; the text starts at the area's height.
inline constexpr RECT kCreditsPanel = {10, 146, 170, 240};
inline constexpr RECT kCreditsArea = {14, 150, 166, 236};
inline constexpr UINT_PTR kCreditsTimer = 2;
inline constexpr UINT kCreditsTimerMs = 100;
// Where the version line is drawn: right of the panel.
inline constexpr POINT kVersionLinePlace = {180, 150};

// Scroller flags.
inline constexpr uint32_t kCreditsRunning = 0x1;
inline constexpr uint32_t kCreditsActivatingClick = 0x2;

// Runs the box modally over the owner with the credits (TEXT resource "ABOUT_STR", when there).
void ShowAboutBox(HWND owner);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// String 1028, a space, the FileVersion of the plug-in's version block and a space; empty
// without either.
std::string AboutVersionLine();
void DrawAboutVersionLine(HDC dc, int x, int y);
