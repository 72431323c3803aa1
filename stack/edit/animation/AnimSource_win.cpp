// MINIMAL until the frame source is built: no film is made.
#include "stack/edit/animation/AnimSource.h"

bool GetAnimationSource(Handle* film, const char*) {
    if (film) *film = 0;
    return false;
}
