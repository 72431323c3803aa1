// MINIMAL until animations are built: there is no animation world, no frame animation plays,
// and a record or reference handed over is freed at once.
#include "actions/Animations.h"

#include "core/memory/ByteReader.h"
#include "stack/format/StackFile.h"

void StepAnimations() {}
void ReleaseAnimPlayback() {}

bool IsSpriteHandle(Handle record) {
    HandleLock lock(record);
    if (!lock || GetHandleSize(record) < 4)
        return false;
    return GetBE32({lock.get(), 4}, 0) == kSprt;
}

int PlayAnimRecord(Handle record, uint16_t) {
    DisposeHandle(record);
    return 0;
}

bool AnimatedObjectsDoneFor(uint16_t) { return true; }
