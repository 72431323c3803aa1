// The animation editor: the animation of an object's action block made or changed in
// "EDITANIMATION", its path recorded on the card.
//
//   AnimationEdit_win.cpp   new or stored objects, the dialog's commands, trying the object on
//                           the card, keeping or dropping it
//   AnimationDialog_win.cpp "EDITANIMATION" itself: its controls, preview, swatch and flips
//   AnimRecording_win.cpp   recording a path over the card (PathRecording.cpp: the samples)
#pragma once

#include <cstdint>

#include "actions/ActionBlock.h"
#include "core/memory/Handles.h"

// Edits or creates the block's animation; the result's low byte is 1 when the dialog ran, and
// kAnimationKept is set when it ended with OK (the block then holds the animation edited).
inline constexpr int kAnimationKept = 0x100;
int EditObjectAnimation(ActionBlock* block, uint32_t flags);
// A new animation of the block from a film made already (a dropped picture): the film is the
// editor's from now. The result as for EditObjectAnimation.
int EditNewObjectAnimation(ActionBlock* block, Handle film);
