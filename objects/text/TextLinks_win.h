// Text links in a field window: the link under a click and its flash (TextLinks_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "layers/ObjectLayer.h"
#include "objects/text/TextLinks.h"

// The link at the point of the field (client coordinates): its own links first, then those of
// all fields, each in resource order; the first that applies and has actions wins. Its id, and
// its range in *start, *end; 0 when none.
uint16_t FindLinkAtCaret(LayerHandle field, POINT point, int32_t* start, int32_t* end);
// One link (the 'Hlnk' record) tried at the point for the field id: its id when it applies and
// has actions, else 0; the range when it applies.
uint16_t MatchLinkAtPosition(std::span<const uint8_t> link, uint16_t linkId, uint16_t fieldId, bool readOnly,
                             HWND window, POINT point, int32_t* start, int32_t* end);
bool IsWholeWordRange(HWND window, int32_t start, int32_t end);
// Selects the range and flashes it three times on a timer; while it waits the field repaints
// and no input reaches the card or its fields. An editable field gets its selection back; a
// read-only one keeps the link selected. False when the field went during the wait.
bool FlashLinkSelection(HWND window, bool readOnly, int32_t start, int32_t end);
