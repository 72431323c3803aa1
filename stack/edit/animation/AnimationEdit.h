// The animation editor: the animation of an object's action block made or changed in
// "EDITANIMATION", its path recorded on the card.
//
//   AnimationEdit_win.cpp   MINIMAL until the editor is built: nothing runs.
#pragma once

#include <cstdint>

#include "actions/ActionBlock.h"

// Edits or creates the block's animation; the result's low byte is 1 when the dialog ran.
int EditObjectAnimation(ActionBlock* block, uint32_t flags);
