// The defaults of what the colour dialogs ask of the host (see ColorChooserUpcalls.h).
#include "graphics/colors/ColorChooserUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void NoFrame(int16_t) {}
void NoSwatch(char) {}

ColorChooserUpcalls g_upcalls = {NoFrame, NoSwatch};

}  // namespace

const ColorChooserUpcalls& GetColorChooserUpcalls() { return g_upcalls; }

void SetColorChooserUpcalls(const ColorChooserUpcalls& upcalls) {
    ColorChooserUpcalls u = upcalls;
    FillIfNull(u.frameColorValue, &NoFrame);
    FillIfNull(u.redrawSwatch, &NoSwatch);
    g_upcalls = u;
}
