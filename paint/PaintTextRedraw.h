// The paint text being typed, drawn again after its colour changed.
//
// MINIMAL until the paint text tool comes (PaintTextRedraw_win.cpp): no text is being typed.
#pragma once

void RedrawPaintText();
