// Graphics operations report a missing drawing context or bitmap through the plain error box,
// with a message from the string table. Tests install a hook to watch the reports instead.
#pragma once

#include <cstdint>

void ShowGraphicsError(uint32_t stringId);

using GraphicsErrorHook = void (*)(uint32_t stringId);
// nullptr restores the error box.
void SetGraphicsErrorHook(GraphicsErrorHook hook);
