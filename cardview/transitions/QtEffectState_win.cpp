// Letting go of the effect state's current record (QtEffectState.h).
#include "cardview/transitions/QtEffectState.h"

void QTFreeEffectState() {
    QTReleaseCurrentEffectRecord();
}
