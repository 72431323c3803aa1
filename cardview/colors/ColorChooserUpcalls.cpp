// The defaults of what the colour dialogs ask of the host (see ColorChooserUpcalls.h).
#include "cardview/colors/ColorChooserUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void NoFrame(int16_t) {}
void NoSwatch(char) {}

ColorChooserUpcalls Defaults() { return {NoFrame, NoSwatch}; }

}  // namespace

const ColorChooserUpcalls& GetColorChooserUpcalls() { return InstalledTable<ColorChooserUpcalls, Defaults>(); }

void SetColorChooserUpcalls(const ColorChooserUpcalls& upcalls) {
    InstalledTable<ColorChooserUpcalls, Defaults>() =
        FilledFrom(upcalls, Defaults(), &ColorChooserUpcalls::frameColorValue, &ColorChooserUpcalls::redrawSwatch);
}
