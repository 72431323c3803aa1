// What the clipboard asks of the layers above it. host/ClipboardServices_win.cpp installs the
// real ones; the defaults do the least (no system clipboard, no tools, no conversions).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/memory/Handles.h"

struct ClipboardNeighbours {
    // The system clipboard: emptied, or emptied and given the marker.
    void (*clearSystemClipboard)();
    void (*setMarker)();
    void (*deleteGdiObject)(uint32_t object);
    uint32_t (*currentTool)();
    void (*selectTool)(uint32_t tool);
    // FlushCardEdits: pending card edits into the record; SyncCardFromLayers.
    void (*flushCardEdits)();
    void (*syncCardFromLayers)();
    // ConvertCardGraphicsDepth with the JPEG-encode switch on: 0 done, 16 not.
    int (*convertCardGraphicsDepth)(Handle card, int depth);
    // The object placed on the current card from the internal clipboard's record
    // (PasteObjectOntoCard, which calls AttachClipboardActions).
    void (*pasteObjectOntoCard)(void* window);
    // Text: whether a text field is being edited, whether paint text is being typed; the paste
    // offered to the active text field (TextFieldPaste, true when it pasted); the noun of the text
    // that would be pasted (GetPasteTextNoun, false for none).
    bool (*textFieldActive)();
    bool (*paintTextActive)();
    bool (*textFieldPaste)(void* window);
    bool (*pasteTextNoun)(char* noun, size_t size);
    // The paint selections: the bitmap floats as the rectangle selection (which owns it); a
    // masked selection is placed from the bitmaps (which stay the caller's).
    void (*floatRectSelection)(uint32_t bitmap, int x, int y);
    void (*placeMaskSelection)(uint32_t source, uint32_t mask, uint32_t outline, int x, int y);
};

const ClipboardNeighbours& GetClipboardNeighbours();
void SetClipboardNeighbours(const ClipboardNeighbours& neighbours);
ClipboardNeighbours DefaultClipboardNeighbours();
