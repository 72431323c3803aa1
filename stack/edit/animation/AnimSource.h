// Where an animation's frames come from ("ANIMSOURCE"): a picture series, an animated GIF, one
// cropped picture, a grab of the card, or a movie.
//
//   AnimSource_win.cpp   MINIMAL until the frame source is built: no film is made.
#pragma once

#include "core/memory/Handles.h"

// Makes a film from a path (by its type) or, without one, from the source the dialog asks for.
// True when a film was made; the caller owns it.
bool GetAnimationSource(Handle* film, const char* path);
