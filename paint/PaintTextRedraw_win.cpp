// MINIMAL paint text redraw (see PaintTextRedraw.h).
#include "paint/PaintTextRedraw.h"

void RedrawPaintText() {}
