// The media manager's companion in the transitions: the effect state of transition 29.
#include "host/window/WindowServices.h"

#include "cardview/transitions/QtEffectState.h"
#include "media/MediaManager.h"

void MakeEffectStateWithManager() {
    if (HasMediaManager() && MediaIsQuickTime3())
        QTEffectStateInit();
}

void DestroyMediaManagerAndEffectState() {
    QTEffectStateDispose();
    MediaManagerDestroy();
}
