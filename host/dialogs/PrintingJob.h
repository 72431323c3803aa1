// The print context and what the printing files share (Printing*_win.cpp only).
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>

#include "cardview/card/CardRender.h"
#include "layers/ObjectLayer.h"

struct PrintContext {
    HGLOBAL devNames;
    HGLOBAL devMode;
    uint16_t layout;     // low byte cards per page; high byte 1 current card, 2 all cards
    uint16_t cardCount;  // cards when PRINT_STK opened
    uint32_t firstCard, lastCard;
    int32_t slotWidth, slotHeight;
    uint32_t jobId;
    uint32_t outOfDiskCount;
    HWND cardWindow;
    HWND cancelDialog;
    uint32_t abortFlag;
    uint32_t textFlag;
    CardRenderTarget render;  // the memory DC of off-screen rendering
    ABORTPROC abortProc;
    DLGPROC cancelProc;
    PRINTDLGA dialog;
    uint32_t slideSeconds, slideTimed, slideStopAtEnd;
};

inline constexpr uint8_t kRangeCurrentCard = 1;
inline constexpr uint8_t kRangeAllCards = 2;

// Made (zeroed) on first use; null when the handle cannot be had.
PrintContext* EnsurePrintContext();
PrintContext* PeekPrintContext();  // null before first use

inline int CardsPerPageOf(const PrintContext& c) { return c.layout & 0xFF; }
inline int RangeOf(const PrintContext& c) { return c.layout >> 8; }

// Printer defaults, dialog PRINT_STK (cards: the count it shows; false on Cancel) and the
// system print dialog with its 0x100C retry and the card range.
bool RunPrintStackDialog(HWND owner, int cardCount);
bool RunSystemPrintDialog(HWND window);
// The print dialog alone for jobs that do not lay out cards (pictures, text): pages and copies
// as the user leaves them.
bool RunPlainPrintDialog(HWND window);

// StartDoc with the title and the cancel dialog (text: "Printing text..."); the abort procedure
// set. False (nothing left started) on failure.
bool StartPrintJob(HWND window, const char* title, bool text);
// EndDoc, the cancel dialog destroyed unless the user closed it, the printer DC deleted.
void EndPrintJob(HWND window);
// While pages print: the card window's layers put aside (so its paint during the abort
// procedure can bring them back) and back again.
void ParkLayersForPrinting();
void UnparkLayersAfterPrinting();
