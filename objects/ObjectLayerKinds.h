// What the object kinds give the card's layer list (layers/ObjectLayer.h): reading their
// records into layers, drawing, highlighting and hit shapes.
//
//   ObjectLayerFields.h       what each kind's layer takes from its record, read without Windows
//   ObjectLayerKinds_win.cpp  the common record header (host/wiring/WireGraphics_win.cpp puts the
//                             procedures below in the layer list's table)
//   buttons/Buttons_win.cpp   buttons (the rest of the button files: buttons/Buttons.h)
//   text/TextFields_win.cpp   text fields (text/TextFields.h)
//   graphics/GraphicObjects_win.cpp  graphic objects
//
// Text fields are objects/text/TextFields.h.
#pragma once

#include <cstdint>
#include <span>

#include "layers/ObjectLayer.h"
#include "objects/ObjectLayerFields.h"
#include "objects/graphics/GraphicPlacement.h"

// ---- ObjectLayerKinds_win.cpp ----
// The common header of an object record in memory order into the layer; false when the record
// is shorter than the header or of another kind.
bool ReadLayerCommon(std::span<const uint8_t> record, uint16_t kind, ObjectLayer* layer);
// The header's kind, id and bounds into the layer.
void SetLayerCommon(const LayerCommonFields& fields, ObjectLayer* layer);

// ---- buttons/Buttons_win.cpp ----
bool ReadButtonLayer(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts);

// ---- text/TextFields_win.cpp ----
bool ReadFieldLayer(std::span<const uint8_t> record, FieldLayer* layer);

// ---- graphics/GraphicObjects_win.cpp ----
// No layer for picture flags exactly 32, nor for a hidden object while hidden graphics are not
// shown. A record whose lengths disagree gets a layer of its bounds without picture or mask.
bool ReadGraphicLayer(std::span<const uint8_t> record, GraphicLayer* layer, GraphicRecordParts* parts);
// The path at +80 (only when its NUL lies before the mask) and the cut-out of the picture file.
bool GraphicPictureFile(std::span<const uint8_t> record, char* name, size_t size, RECT* crop);
// The picture stretched to the bounds, framed (through the outline with a mask, else a rectangle),
// blended over the target by its transparency on displays of 9 bits or more, drawn through the
// mask. The layer is unchanged; a failed bitmap leaves the target as it was.
void DrawGraphicObjectLayer(HDC dc, const GraphicLayer* layer);
// A frame of the width into the bitmap: a rectangle, or the lasso outline's pixels; width 0, or
// the lasso without an outline, draws nothing.
void DrawGraphicFrame(CropKind kind, HDC dc, HBITMAP bitmap, int width, int colorIndex, HBITMAP outline);
// The object's shape in the layer mask: the mask ANDed out at the bounds, else the bounds with
// the selected pen and brush.
void DrawGraphicLayerMask(HDC dc, const GraphicLayer* layer);
