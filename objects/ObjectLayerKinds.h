// What the object kinds give the card's layer list (graphics/ObjectLayer.h): reading their
// records into layers, drawing, highlighting and hit shapes.
//
//   ObjectLayerKinds_win.cpp  the common record header (host/wiring/WireGraphics_win.cpp puts the
//                             procedures below in the layer list's table)
//   Buttons_win.cpp           buttons (the rest of the button files: Buttons.h)
//   TextFields_win.cpp        text fields (TextFields.h)
//   GraphicObjects_win.cpp    graphic objects
//
// MINIMAL until the graphic kind comes: its reader takes only the common header (kind, id,
// rectangle, flags), so such a layer is a rectangle of the object's bounds, hit by its bounds;
// nothing is drawn (its stored picture is, by the layer list through the stack layer). Text
// fields are objects/TextFields.h.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/layers/ObjectLayer.h"

// ---- ObjectLayerKinds_win.cpp ----
// The common header of an object record in memory order into the layer; false when the record
// is shorter than the header or of another kind.
bool ReadLayerCommon(std::span<const uint8_t> record, uint16_t kind, ObjectLayer* layer);
uint16_t RecordFlags(std::span<const uint8_t> record);

// ---- Buttons_win.cpp ----
bool ReadButtonLayer(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts);

// ---- TextFields_win.cpp ----
bool ReadFieldLayer(std::span<const uint8_t> record, FieldLayer* layer);

// ---- GraphicObjects_win.cpp ----
bool ReadGraphicLayer(std::span<const uint8_t> record, GraphicLayer* layer, GraphicRecordParts* parts);
