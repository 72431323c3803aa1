// MINIMAL object colours (see ObjectColors.h): nothing is selected to take them yet.
#include "objects/ObjectColors.h"

void ApplyTextColorIndex(int16_t) {}
void SetSelectedObjectColor(int16_t, int) {}
