// Hypertext links of text objects as 'Hlnk' resources.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

// Holds every in-use 'Hlnk' resource of the current resource file that belongs to the text
// object textId (0: to no object) onto the chain, with what each link's action uses; flag 0
// sets each taken link's owner to textId.
// MINIMAL until the text links are built: nothing is held.
void UpdateLinkResource(Handle card, uint16_t textId, Handle* chain, int flag);
