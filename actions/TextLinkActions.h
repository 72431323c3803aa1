// A typed web address made into a text link that opens it. It lies here because the link's
// action is written through the action block (ActionBlock.h); the links themselves are
// objects/text/TextLinks.h.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

// Unless a link of the stack already begins the word, a new link of the field (the word's
// characters, no terminator) whose one action opens the word as a web address.
void AddUrlLink(Handle word, uint16_t fieldId);
