// The defaults of what the colour dialogs ask of the host (see ColorChooserUpcalls.h).
#include "graphics/colors/ColorChooserUpcalls.h"

namespace {

void NoFrame(int16_t) {}
void NoSwatch(char) {}

ColorChooserUpcalls g_upcalls = {NoFrame, NoSwatch};

}  // namespace

const ColorChooserUpcalls& GetColorChooserUpcalls() { return g_upcalls; }

void SetColorChooserUpcalls(const ColorChooserUpcalls& upcalls) {
    g_upcalls.frameColorValue = upcalls.frameColorValue ? upcalls.frameColorValue : NoFrame;
    g_upcalls.redrawSwatch = upcalls.redrawSwatch ? upcalls.redrawSwatch : NoSwatch;
}
