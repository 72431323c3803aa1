// The defaults of what the colour dialogs ask of the layers above (see ColorChooserNeighbours.h).
#include "graphics/colors/ColorChooserNeighbours.h"

#include "core/ui/DisplayUtils.h"

namespace {

void Nothing() {}
bool NotGrouped() { return false; }
void NoTextColor(int16_t) {}
int NoDialog(HWND, int*, int*, int*) { return 0; }
int NothingReplaced(int, int, int, int) { return 0; }
int DisplayDepth() { return GetDisplayBitsPerPixel(); }
void NoFrame(int16_t) {}
void NoSwatch(char) {}

ColorChooserNeighbours& Installed() {
    static ColorChooserNeighbours neighbours = DefaultColorChooserNeighbours();
    return neighbours;
}

}  // namespace

ColorChooserNeighbours DefaultColorChooserNeighbours() {
    return {Nothing, NotGrouped, Nothing, NoTextColor, Nothing, NoDialog, NothingReplaced, DisplayDepth,
            NoFrame, NoSwatch};
}

const ColorChooserNeighbours& GetColorChooserNeighbours() { return Installed(); }

void SetColorChooserNeighbours(const ColorChooserNeighbours& neighbours) { Installed() = neighbours; }
