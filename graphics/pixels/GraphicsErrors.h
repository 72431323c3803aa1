// Graphics operations report a missing drawing context or bitmap through the plain error box,
// with a message from the string table. host/wiring keeps the box; tests install a hook to watch
// the reports instead (tests/graphics/pixels/Dib_win_test.cpp, tests/graphics/masks).
#pragma once

#include <cstdint>

inline constexpr uint32_t kStringNoBitmap = 4030;  // "InitDataBase: insufficient ram for screen bitmap"

void ShowGraphicsError(uint32_t stringId);

using GraphicsErrorHook = void (*)(uint32_t stringId);
// nullptr restores the error box.
void SetGraphicsErrorHook(GraphicsErrorHook hook);
