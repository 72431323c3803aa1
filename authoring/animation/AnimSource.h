// Where an animation's frames come from ("ANIMSOURCE"): a picture series, an animated GIF, one
// cropped picture, a grab of the card, or a movie. How each source makes its frames is in
// AnimFrames.h.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// Makes a film from a path (by its type) or, without one, from the source the dialog asks for.
// True when a film was made; the caller owns it.
bool GetAnimationSource(Handle* film, const char* path);
// The dialog's procedure: 1000 Disk Library, 1001 Current Card, 2 Cancel.
INT_PTR CALLBACK AnimSourceDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// True when the last film came from the card: the grabbed frame's centre on the screen, where
// the animated object starts.
bool GetGrabbedFrameStart(POINT* screenPoint);
// The selection shape of the card grab (lasso when set), kept between uses.
bool IsLassoGrabShape();
void SetLassoGrabShape(bool lasso);
