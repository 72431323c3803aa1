// MINIMAL until the graphic appearance dialog is built: it cancels.
#include "stack/edit/graphics/GraphicAppearance.h"

int RunGraphicAppearanceDialog(HWND) { return 2; }
int EditGraphicAppearance(HWND, LayerHandle) { return 2; }
