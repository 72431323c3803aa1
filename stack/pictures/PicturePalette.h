// A palette stored with the card's picture (PicturePalette_win.cpp): the picture import and the
// card redraw both keep the palette a picture was made for in its record.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// StorePaletteInPictureResource: a picture record longer than 100 bytes that has a colour table
// gets one of the palette's colours in its place (as many entries as the old one).
void StorePaletteInPictureResource(Handle card, HPALETTE palette);
