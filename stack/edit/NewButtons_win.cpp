// MINIMAL until the button editor is built: nothing is edited.
#include "stack/edit/NewButtons.h"

bool EditButtonAppearance(HWND, LayerHandle, bool) { return false; }
void ApplyButtonToLayer(Handle) {}
