// Letting go of the effect state's current record and captured image (QtEffectState.h).
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/QtEffectState.h"

void QTFreeEffectState() {
    QTReleaseCurrentEffectRecord();
    QTFreeCapturedImage();
}
