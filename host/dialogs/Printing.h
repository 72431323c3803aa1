// Printing cards and text, the printer settings and the slide show's settings: File menu
// commands 107 (Page Setup), 108 (Print) and 109 (Slide Show, SlideShow.h).
//
//   Printing_win.cpp        the print context, the menu command, printer defaults, Page Setup,
//                           the system print dialog and its hooks, dialog PRINT_STK
//   PrintingCards_win.cpp   PrintCards, the page pass, PrintCardDib, the requests of modules
//   PrintingText_win.cpp    PrintText
//   PrintingCancel_win.cpp  dialog PRT_CANCEL and the abort procedure
//   PrintingWait_win.cpp    WaitSecondsOrEscape
// The page arithmetic is PrintLayout.h; everything that reaches a printer is PrintDevice.h.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

inline constexpr int kPageSetupCommand = 107;
inline constexpr int kPrintCommand = 108;
inline constexpr int kSlideShowCommand = 109;

// Request blocks of extension modules: u16 kind, u32 count at 2, data from 6.
inline constexpr uint16_t kPrintPicturesRequest = 0x1000;
inline constexpr uint16_t kPrintCardsRequest = 0x2000;

// 107, 108 or 109 (other commands give 0). The title is the stack's file name; request is a
// module's request block (empty when none). The dialog's or the job's result.
int DoPrintMenuCommand(HWND window, HWND owner, int command, Handle currentCard, const char* title,
                       std::span<const uint8_t> request = {});

// The menu's way in: the current card and the stack's file name as the title.
int RunPrintMenuCommand(HWND window, int command);

// Printer names and mode from the system's default printer when the context has none; false
// when there is no printer.
bool EnsurePrinterDefaults(HWND window);
// Page Setup: the dialog's result (nonzero on OK).
int PageSetup(HWND window);
// One, two or four cards per page as PRINT_STK and the print dialog choose; ids: the cards of a
// module's request (empty: the current card or the stack's cards). 1 when printed.
int PrintCards(HWND window, HWND owner, Handle currentCard, int cardCount, const char* title,
               std::span<const uint32_t> ids = {});
// A module's pictures: rect is the size of one picture in screen pixels; dibs are global
// handles of packed DIBs. 1 when printed.
int PrintPictures(HWND window, HWND owner, const RECT& rect, std::span<const HGLOBAL> dibs, const char* title);
// The text of the field being edited, or of the selected text object. 1 when printed.
int PrintText(HWND window, HWND owner, const char* title);

// The abort procedure given to the printer (also called directly by the page loops).
BOOL CALLBACK PrintAbortProc(HDC printer, int code);

// Waits seconds x 60 ticks, dispatching paint, timer and posted messages; true at once when an
// Esc key message arrives (it is removed). Other key messages are removed and dropped.
bool WaitSecondsOrEscape(uint32_t seconds);
// The same wait for a key: ticks 0 waits without end; anyKey ends at any key-down. VK_ESCAPE
// (27), the key's code, kWaitTimedOut, or kWaitQuit (the quit message is posted again).
inline constexpr int kWaitTimedOut = 0;
inline constexpr int kWaitQuit = -1;
int WaitForKeyOrTicks(uint32_t ticks, bool anyKey);

// The slide show's settings in the print context (false when it cannot be made).
struct SlideShowSettings {
    uint32_t seconds = 3;
    bool timed = true;
    bool stopAtEnd = true;
};
bool GetSlideShowSettings(SlideShowSettings* settings);
void SetSlideShowSettings(const SlideShowSettings& settings);

// Shut-down: printer names and mode, the printer DC, the context.
void FreePrintContext();
