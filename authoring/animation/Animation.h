// Authoring animated objects: what this folder offers.
//
//   AnimationEdit.h     the animation editor: an object's animation made or changed in
//                       "EDITANIMATION", its path recorded on the card
//   AnimationDialog.h   the dialog "EDITANIMATION" itself: the settings of one animated object
//   AnimSource.h        where the frames come from ("ANIMSOURCE"): a picture series, an animated
//                       GIF, a cropped picture, a grab of the card, a movie
//   AnimFrames.h        the frames each source gives, as a strip picture with its rectangles
//   AnimSeries.h        numbered picture series ("walk1.bmp", "walk2.bmp", ...), platform-free
//   AnimRecording.h     recording a path over the card and placing a new object
//   PathRecording.h     the path points a mouse stroke leaves, platform-free
//
// It uses the picture cropping dialog of authoring/graphics for cropped frames.
#pragma once

#include "authoring/animation/AnimFrames.h"
#include "authoring/animation/AnimRecording.h"
#include "authoring/animation/AnimSeries.h"
#include "authoring/animation/AnimSource.h"
#include "authoring/animation/AnimationDialog.h"
#include "authoring/animation/AnimationEdit.h"
#include "authoring/animation/PathRecording.h"
