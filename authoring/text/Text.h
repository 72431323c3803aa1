// Authoring text objects: what this folder offers.
//
//   NewTextObject.h     placing a new text object, the Text Appearance dialog ("TEXTINFO") that
//                       makes or edits one, and the Style... and Actions... commands
//   TextLinksDialog.h   the Hypertext Links dialog of the text fields
//   TextStyleDialog_win.h  the Text Style dialog on the current style, a field's selection or a
//                       button's name font, with its colour grids (a double click opens More
//                       Colors)
//
// An edit is recorded for undo through authoring/cards.
#pragma once

#include "authoring/text/NewTextObject.h"
#include "authoring/text/TextLinksDialog.h"
