// What the core layer asks of the layers above it: the waiting loop lets the frame animations, the
// animated objects and the movie controllers step and feeds the hook of a tracked object
// rectangle. The wiring step fills it (host/wiring/WireCore_win.cpp); until then the defaults
// do the least: nothing steps, nothing is tracked.
//
// The core's platform services have interfaces of their own beside the code that uses them:
// the file system (files/FileLayer.h), the millisecond clock (system/Ticks.h), the timer list's
// host (events/TimerList.h); the wiring step installs the system's.
#pragma once

struct CoreUpcalls {
    // The idle steps of a wait that keeps messages going, before and after the polled timers
    // (after them: the animated objects, then the media controllers' idle time).
    void (*stepFrameAnimations)();
    void (*stepAnimationsAndMedia)();
    // The window in which an object rectangle is being tracked (an HWND), null when none.
    void* (*trackedWindow)();
};

const CoreUpcalls& GetCoreUpcalls();
// Null members take the defaults.
void SetCoreUpcalls(const CoreUpcalls& upcalls);
