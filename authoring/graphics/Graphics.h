// Authoring graphic objects: what this folder offers.
//
//   GraphicMaking.h      new graphic objects from a paint selection, a cropped picture or a
//                        lasso selection dropped on the card
//   PictureCrop.h        the picture cropping dialog ("PCROP") and its entry points
//   GraphicAppearance.h  the graphic appearance dialog ("GAPPEAR") and its commit
//   GraphicCommands.h    the appearance dialog of the object at a point or of the selected one,
//                        by its kind, and a graphic's actions and features
//   GraphicFlip.h        the selected graphic flipped sideways or upside down
//
// The commands reach the new buttons and text objects of authoring/buttons and authoring/text;
// an edit is recorded for undo through authoring/cards.
#pragma once

#include "authoring/graphics/GraphicAppearance.h"
#include "authoring/graphics/GraphicCommands.h"
#include "authoring/graphics/GraphicFlip.h"
#include "authoring/graphics/GraphicMaking.h"
#include "authoring/graphics/PictureCrop.h"
