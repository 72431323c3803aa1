// The one wiring step. A lower layer that must call an upper one declares what it needs as one
// typed interface in one header of its own; this step fills every such interface, each in one
// place, lowest layer first. The plug-in runs it when the browser initialises it
// (NPP_Initialize), before the first instance reads the download cache; test programs run it
// before their first test (tests/support/WiredLayers_win.cpp), and a test runs it again to put
// back what other tests replaced. It stores procedures of the layers above, and adapts their
// parameters in small glue procedures where an interface asks for another shape (a window the
// upper procedure takes, a handle released after use); three small procedures of authoring's
// interface are written out here, in WireStack_win.cpp: whether the stack is fresh, opening a
// file instead of importing it, and showing the cards an import brought.
//
//   LayerWiring_win.cpp    WireLayers: the layers in order
//   WireCore_win.cpp       core: the system's file layer, clock, timers, dialogs and alerts;
//                          the QuickTime binding's library calls
//   WireGraphics_win.cpp   graphics: the palette, card pictures, layer list, transitions,
//                          card redraw and colour choosers
//   WireStack_win.cpp      stack: the card list, open, save, undo, clipboard and editing
//   WireUpper_win.cpp      objects, actions, media and paint
#pragma once

void WireLayers();

void WireCore();
void WireGraphics();
void WireStack();
void WireUpper();
