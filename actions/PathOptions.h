// The "Path Options" dialog ("PATHOPTIONS"): how an animated object travels its path. The
// controls' state is read from and written to the sprite header alone, by its offsets in
// format/StackFile.h, so this layer needs none of the animation code above it.
//
//   PathOptions.cpp           the state of the controls from the header and back into it, and
//                             what the end buttons and "Start here" do (PathOptionsState.h)
//   PathOptionsDialog_win.cpp the dialog: its bitmaps, owner-drawn ends and toggles, painting
#pragma once

#include <windows.h>

#include "actions/PathOptionsState.h"

// Runs the dialog over the sprite header being edited; 1 after OK (the header written), 0 after
// Cancel (nothing changed).
int RunPathOptions(HWND owner, Handle sprite);
