// A card rendered off screen exactly as it looks (picture, animation start frames, graphic
// objects, buttons, text objects) into a packed DIB, for printing, the QuickTime effects, the
// stack's preview and the extension-module host (CardRender_win.cpp).
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

// A memory DC compatible with the card window's DC, with the application palette selected and a
// bitmap of the card's size (the offscreen without its two spare rows).
struct CardRenderTarget {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ keptBitmap = nullptr;
    HPALETTE keptPalette = nullptr;
    int width = 0;
    int height = 0;
};
bool OpenCardRenderTarget(CardRenderTarget* target);
void CloseCardRenderTarget(CardRenderTarget* target);

// The bitmap as a new packed DIB at its own depth (planes x bits per pixel), read with the
// palette selected; 0 on failure.
DibHandle BitmapToPackedDIB(HDC dc, HBITMAP bitmap, HPALETTE palette);

// Renders the card into the target (objects whose flags byte has 0x20 left out) and returns it
// as a new packed DIB, bottom row first; 0 when the picture could not be set. Layers made
// while rendering join the current layer list: the caller parks the card window's list first
// and frees what was made afterwards.
DibHandle RenderCardForPrint(Handle card, const CardRenderTarget& target);

// The whole round: the target made, the card window's layer list parked, the card rendered,
// the layers made freed and the list put back. True when *out holds a new DIB.
bool RenderCardToDib(Handle card, DibHandle* out);
