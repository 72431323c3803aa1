// What the card layer (the card redraw and the palette code) asks of the layers above it: the
// later subsystems that take part in showing a card (videodisc, fades, the frame's menu bar, the
// grid, hidden objects, text fields, timer buttons, media elements, animations). The stack's
// procedures lie below and are called directly. host/wiring/WireGraphics_win.cpp fills this.
//
// MINIMAL until a subsystem is built, its defaults do the least: no videodisc, no fade
// preparation, no frame menu bar, no grid, hidden objects stay hidden, no active text field nor
// text editing, no timer buttons, no media elements, no animations.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "graphics/layers/ObjectLayer.h"

struct CardRedrawUpcalls {
    void (*openVideodisc)();
    void (*prepareFade)(int transition);
    // The frame's menu bar shown or hidden (whether it has one is the card list's to say).
    void (*toggleMenuBar)();
    void (*drawGrid)(HDC dc, const RECT& rect);
    // Whether the tool palettes show the hidden objects of a kind (16, 48 or 96), and their mode.
    bool (*showHiddenObjects)(uint16_t kind);
    int (*toolPaletteMode)();
    // The card was drawn and shown: activeField (or 0) becomes the active text field, timer
    // buttons are rebuilt when entering, and in the browse tool the media elements and the text
    // field windows are shown.
    void (*cardShown)(LayerHandle activeField, bool entering, bool browsing);
    // The text field being edited has its editing ended.
    void (*endTextEditing)();
    // The text field windows meeting a rectangle get their regions.
    void (*clipTextFieldWindows)(const RECT& rect);
    // The window's image kept for a QuickTime effect transition (29 and above).
    void (*captureWindowImage)(HWND window);
    // Media elements drawn into a bitmap of an area.
    void (*updateMediaElements)(HDC dc, const RECT& area);
    // DrawObjectAnimationStart: an object's animation or movie start frame into the offscreen
    // DC; record is an object's record or empty, actionId an 'Actn' resource id or 0.
    void (*drawObjectAnimationStart)(std::span<const uint8_t> record, uint16_t actionId, HDC dc);
};

const CardRedrawUpcalls& GetCardRedrawUpcalls();
// Null members take the defaults.
void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls);
