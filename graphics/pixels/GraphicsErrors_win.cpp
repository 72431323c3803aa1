// Error reports of the graphics code through the plain error box.
#include "graphics/pixels/GraphicsErrors.h"

#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"

namespace {
GraphicsErrorHook g_hook = nullptr;
}

void ShowGraphicsError(uint32_t stringId) {
    if (g_hook) {
        g_hook(stringId);
        return;
    }
    char text[80] = {};
    LoadResString(stringId, text, 79);
    ShowErrorBox(text);
}

void SetGraphicsErrorHook(GraphicsErrorHook hook) { g_hook = hook; }
