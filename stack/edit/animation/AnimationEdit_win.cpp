// MINIMAL until the animation editor is built: nothing runs.
#include "stack/edit/animation/AnimationEdit.h"

int EditObjectAnimation(ActionBlock*, uint32_t) { return 0; }
