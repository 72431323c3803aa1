// The layers of a card: the objects visible on it (its background record's first) and which of
// them get a layer, as the tool palettes show hidden objects (LayerBuild_win.cpp).
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"

// One object record visible on a card (host order, valid for the call only).
using CardObjectVisitor = void (*)(void* context, std::span<const uint8_t> object);

// The visible objects of a card, the holder's background objects first, then the card's own,
// deleted ones left out, in drawing order; each copied out before it is visited (so the visitor
// may change records).
void WalkVisibleObjects(Handle card, CardObjectVisitor visit, void* context);
// Whether an object record (host order) gets a layer: not hidden, or hidden while its kind's
// hidden objects are shown (palette mode 5: of the hidden buttons, those that play a sound).
bool ObjectGetsLayer(std::span<const uint8_t> object);
// Appends one layer per visible object of the card (background objects first, in object order),
// then rebuilds the layer mask and clip region once. Returns the field to activate after the
// redraw (the last field made without bit 2 in its byte 26), or 0.
LayerHandle BuildCardLayers(Handle card);
