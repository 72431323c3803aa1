// Following text links: a click on a link's words in a field performs the link's actions. It
// lies beside the performer that runs them; the links are objects/text/TextLinks.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/events/ActionOrigin.h"
#include "layers/ObjectLayer.h"

// Whether the stack follows its links: its links word (header +20) is 1.
bool StackFollowsLinks();
// A button release on the card at (x, y) in card coordinates. A set pending flag is cleared,
// and then nothing more happens while a text field is active; otherwise, unless suppressed,
// with the browse tool and a stack that follows links, the text field on top at the point
// follows the link there, its actions started by `origin`. The pending flag's old value, else 1
// when a link was performed.
int FollowTextLink(int x, int y, bool suppress, int pending, ActionOrigin origin);
// The link under the point (the field window's client coordinates), when it stands as a
// whole word: flashed, then its actions performed. 1 when performed.
int FollowLinkAtPoint(LayerHandle field, POINT point, ActionOrigin origin);
// The 'Hlnk' resource's actions, with the browse tool only; its text becomes the event's label
// and the current link name. 1 when performed.
int PerformLinkActions(uint16_t linkId, ActionOrigin origin);
// The text (at most 31 characters, length-prefixed, 32 bytes) of the link performed last.
const uint8_t* LastLinkName();
