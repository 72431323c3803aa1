// What the rest of the program asks of LoomLogo: its event handlers on card messages, the
// workspace kept with the stack, the turtle state the shape rasterizer reads, and its release.
//
//   LogoServices_win.cpp   MINIMAL until the interpreter comes: no handler consumes a message,
//                          the run box does not open; the workspace is kept as the stored bytes
//                          it was loaded from, so saving a stack gives it back unchanged.
//   LogoWorkspace.cpp      the kept workspace (neutral)
//   Turtle.cpp             the turtle state (neutral)
#pragma once

#include <cstdint>
#include <vector>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// ---- Turtle.cpp ----
// The current turtle: the shape rasterizer reads its pen colour (Paint, Frame), background colour
// (Erase), pen width and height (0 = no pen) and writes nothing.
struct TurtleState {
    uint32_t penColor = 0x000000;         // GDI colour value
    uint32_t backgroundColor = 0xFFFFFF;  // GDI colour value
    int32_t penWidth = 1;
    int32_t penHeight = 1;
};
TurtleState& CurrentTurtle();
void SelectTurtle(const TurtleState& turtle);

// ---- LogoWorkspace.cpp ----
// Erases the workspace and takes the stored one (the handle becomes the workspace's; 0 erases).
void LoadLogoWorkspace(void* window, Handle workspace);
// A new handle with the workspace in stored form; 0 when there is none.
Handle SaveLogoWorkspace();
// Shut-down: the workspace and the turtle go back to nothing.
void ShutdownLogo();

// ---- LogoServices_win.cpp ----
#ifdef _WIN32
#include <windows.h>
int LogoCardEvent(HWND window, int tool, UINT message, WPARAM wParam, LPARAM lParam);
void OpenLogoRunBox(HWND window);
// An action's script run (edit 0) or opened in the editor (edit 1) over the rectangle. Non-zero
// when it was edited: the handle then holds the new script and *rect the editor's rectangle.
int RunLogoAction(HWND window, Handle script, int edit, Rect32* rect);
#endif
// MINIMAL until the interpreter comes: what RunLogoAction was given, for tests.
struct LogoScriptRuns {
    int count = 0;
    std::vector<uint8_t> lastScript;
    int lastEdit = 0;
};
const LogoScriptRuns& GetLogoScriptRuns();
