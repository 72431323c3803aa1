// What the card redraw asks of the layers above it: the card list and its records (the stack
// layer), and the parts of later subsystems that take part in showing a card (undo, videodisc,
// menu bar, grid, text fields, timer buttons, media elements, animations). Each layer installs
// its own procedures while the module loads (GetCardRedrawNeighbours, change, Set...).
//
// MINIMAL until a layer installs its procedure, the defaults do the least: no picture and no
// objects, no alert, and for the later subsystems nothing at all (no undo step to discard, no
// videodisc, no frame menu bar, no grid, no active text field, no timer buttons, no media
// elements, no animations, hidden objects stay hidden).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "graphics/layers/ObjectLayer.h"

enum class CardPictureOutcome {
    Drawn,    // *dib holds the picture
    None,     // the card has no picture
    Damaged,  // the card's picture cannot be read
};

// One object record visible on a card (host order, valid for the call only).
using CardObjectVisitor = void (*)(void* context, std::span<const uint8_t> object);

struct CardRedrawNeighbours {
    // ---- the stack layer ----
    // The card's picture converted to the display depth (24 as 32), bottom row first.
    CardPictureOutcome (*pictureForDisplay)(Handle card, int displayDepth, DibHandle* dib);
    // The objects visible on the card (the picture holder's background objects first, then the
    // card's own), deleted ones left out, in drawing order.
    void (*walkCardObjects)(Handle card, CardObjectVisitor visit, void* context);
    // The card on display; 0 when none.
    Handle (*currentCard)();
    // StorePaletteInPictureResource: the stored colour table becomes the palette's colours.
    void (*storePaletteInPictureResource)(Handle card, HPALETTE palette);
    void (*markStackChanged)();
    // The alert (string id); the pressed button's position, 0 when none was shown.
    int (*showAlert)(uint32_t stringId);
    // The whole card built and drawn again (when one object cannot be redrawn alone).
    void (*refreshCurrentCard)();

    // ---- later subsystems ----
    void (*discardUndo)();
    void (*openVideodisc)();
    void (*prepareFade)(int transition);
    bool (*frameHasMenuBar)();
    void (*toggleMenuBar)();
    void (*drawGrid)(HDC dc, const RECT& rect);
    // Show-hidden settings of the tool palettes, and their mode value.
    bool (*showHiddenGraphics)();
    bool (*showHiddenButtons)();
    bool (*showHiddenFields)();
    int (*toolPaletteMode)();
    // The text field being edited: made active after a redraw, its editing ended.
    void (*setActiveTextField)(LayerHandle field);
    void (*endTextEditing)();
    void (*rebuildTimerButtons)();
    // Media elements: shown over the card in the browse tool; drawn into a bitmap of an area.
    void (*showMediaElements)();
    void (*updateMediaElements)(HDC dc, const RECT& area);
    // Text field windows: shown or hidden; those meeting a rectangle get their regions.
    void (*showTextFieldWindows)(bool show);
    void (*clipTextFieldWindows)(const RECT& rect);
    // The window's image kept for a QuickTime effect transition (29 and above).
    void (*captureWindowImage)(HWND window);
    // DrawObjectAnimationStart: an object's animation or movie start frame into the offscreen
    // DC; record is an object's record or empty, actionId an 'Actn' resource id or 0.
    void (*drawObjectAnimationStart)(std::span<const uint8_t> record, uint16_t actionId, HDC dc);
    // A movie's still frame at its chunk's rectangle (a video chunk, tag 89, of an action block).
    void (*drawMovieStill)(std::span<const uint8_t> videoChunk, HDC dc);
};

const CardRedrawNeighbours& GetCardRedrawNeighbours();
// Null members take the defaults.
void SetCardRedrawNeighbours(const CardRedrawNeighbours& neighbours);
CardRedrawNeighbours DefaultCardRedrawNeighbours();
