// The current tool: what a click on the card does. 18 is browse; 1 to 17 the paint tools, the
// magnifier, eyedropper and selections; 19 to 23 the object tools. Every layer may ask for it or
// change it; the tool palette (host/palettes/CurrentTool.h) adds its cells and installs the rules
// that run on a change.
#pragma once

#include <cstdint>

// The tool numbers, by the palette's bitmaps; 5, 9 and 22 have no cell of their own.
inline constexpr int kRectangleTool = 1;
inline constexpr int kOvalTool = 2;
inline constexpr int kPaintTextTool = 3;
inline constexpr int kRoundRectTool = 4;
inline constexpr int kFreehandTool = 5;
inline constexpr int kLineTool = 6;
inline constexpr int kPenTool = 7;
inline constexpr int kBrushTool = 8;
inline constexpr int kPolygonTool = 9;
inline constexpr int kPaintBucketTool = 10;
inline constexpr int kEraserTool = 11;
inline constexpr int kLassoTool = 12;
inline constexpr int kRectSelectTool = 13;
inline constexpr int kMagnifierTool = 14;
inline constexpr int kSprayTool = 15;
inline constexpr int kOvalSelectTool = 16;
inline constexpr int kEyedropperTool = 17;
inline constexpr int kBrowseTool = 18;
inline constexpr int kButtonTool = 19;
inline constexpr int kArrowTool = 20;        // every kind of object
inline constexpr int kGraphicTool = 21;
inline constexpr int kSoundButtonTool = 22;  // only the buttons that play a sound
inline constexpr int kTextFieldTool = 23;
inline constexpr int kLastTool = kTextFieldTool;

uint32_t GetCurrentTool();
// Stores the tool and runs the change rules (old, new) installed by the palette.
void SelectToolNumber(uint32_t tool);
// Stores the tool without the change rules: a modal edit that borrows browse and gives the
// tool back, leaving what the change would release (playing animations, selections) alone.
void SetToolNumberQuietly(uint32_t tool);
inline bool IsBrowseMode() { return GetCurrentTool() == static_cast<uint32_t>(kBrowseTool); }

// The change rules; host/wiring/WireUpper_win.cpp installs the tool palette's.
using ToolChangeHook = void (*)(uint32_t oldTool, uint32_t newTool);
// Gives the hook it replaces.
ToolChangeHook SetToolChangeHook(ToolChangeHook hook);
