// Flip Sideways (160) and Flip Upside Down (161) on the selected graphic: its picture and mask
// mirrored and stored in its record, undoable.
//
//   GraphicFlip_win.cpp   the mirror of the picture and mask, and the record rewritten
#pragma once

#include <windows.h>

// A graphic is selected whose picture the stack holds (a disk-based one names a file instead).
bool CanFlipSelectedGraphic();
// Mirrors the selected graphic left to right ('S') or top to bottom ('U'); false, with nothing
// changed, when there is none or the mirrored copies cannot be made.
bool FlipSelectedGraphic(char letter);
