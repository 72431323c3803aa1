// The colour chooser ("CPICK"): one entry of the application palette edited through a hue and
// saturation wheel.
//
// MINIMAL: the chooser dialog is not built yet; until it is, no entry is changed.
#pragma once

// 1 when the entry was changed, else 0.
int EditPaletteEntry(int index);
