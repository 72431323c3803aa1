// MINIMAL colour chooser: the dialog is not built yet, so the entry stays as it is.
#include "graphics/ColorChooser.h"

int EditPaletteEntry(int /*index*/) { return 0; }
