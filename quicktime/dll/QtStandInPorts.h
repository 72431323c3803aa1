// The stand-in's graphics ports on Windows: a window's port (CreatePortAssociation) or a
// graphics world over a DIB section (NewGWorld, NewGWorldFromHBITMAP), and the current one
// (SetGWorld). What draws into a port (movies, importers, the controller) finds it here.
#pragma once

#include <windows.h>

#include "quicktime/QtTypes.h"
#include "quicktime/dll/QtStandInPixels.h"

struct QtPortRecord {
    HWND window = nullptr;      // a window's port
    HDC windowDc = nullptr;     // its dc, while associated
    HBITMAP bitmap = nullptr;   // a world's DIB section
    HDC memoryDc = nullptr;     // a world's dc, the section selected
    HGDIOBJ oldBitmap = nullptr;
    bool ownsBitmap = false;    // NewGWorld made the section (NewGWorldFromHBITMAP borrows it)
    bool topDown = true;        // the section's first row in memory is its top row
    int width = 0;
    int height = 0;
    QtBitMap bitMap = {};       // what GetPortBitMapForCopyBits hands out
};

// A world's record joins and leaves the live ports (QtStandInGWorlds_win.cpp).
void StandInAddPort(QtPortRecord* port);
void StandInRemovePort(QtPortRecord* port);
// The port of a live record; null for anything else.
QtPortRecord* StandInLivePort(QtGrafPtr port);
QtPortRecord* StandInWindowPort(HWND window);
// A world's rows (GDI flushed first); false for a window's port or no port.
bool StandInPortPixels(QtGrafPtr port, StandInPixels* pixels);
// The dc to draw into the port with: the world's memory dc or the window's.
HDC StandInPortDC(QtGrafPtr port);
QtGrafPtr StandInCurrentPort();
// The port's size: a world's bitmap size, a window's client size (as last resized).
bool StandInPortSize(QtGrafPtr port, int* width, int* height);
// Draws BGRA rows (top first) into the rectangle of the port, scaled to it.
bool StandInDrawIntoPort(QtGrafPtr port, const uint8_t* bgra, int width, int height, const QtRect& where);
