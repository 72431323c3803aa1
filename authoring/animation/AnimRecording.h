// The animation editor's own parts shared by its files: recording a path over the card
// (AnimRecording_win.cpp) and placing a new object.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// Records a path with the mouse over the card window and gives it to the sprite: end condition 4
// for one point, 5 for more; the path's times drive it (interval source 1, time scale 100).
// False when the path could not be made (the sprite keeps its old one).
bool RecordAnimPath(Handle sprite);
// The recording buffer, made at the first recording, goes.
void FreePathRecording();
// A new object's start: its first frame placed so that its top-right corner is at the centre of
// the window's client area, or, for an area grabbed from the card, centred where that area was
// (the centre given on the screen).
void PlaceNewSprite(Handle sprite, HWND window, const POINT* grabbedCentre = nullptr);
