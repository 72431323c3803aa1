// Letting go of the effect state's current record and captured image (QtEffectState.h).
#include "graphics/transitions/QtEffect.h"
#include "graphics/transitions/QtEffectState.h"

void QTFreeEffectState() {
    QTReleaseCurrentEffectRecord();
    QTFreeCapturedImage();
}
