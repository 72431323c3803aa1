// Everything of printing that reaches a printer: the system print dialog (return-default, setup
// and print), the printer's measures and the document calls. The system's own is used unless
// another is installed (tests install one that answers as told and records the pages).
#pragma once

#include <windows.h>
#include <commdlg.h>

class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    // PrintDlgA: fills hDevNames, hDevMode, hDC, pages and copies as the system would.
    virtual BOOL PrintDialog(PRINTDLGA* dialog) = 0;
    // CommDlgExtendedError after a failed dialog.
    virtual DWORD DialogError() = 0;
    virtual int Caps(HDC printer, int index) = 0;  // HORZRES, VERTRES, LOGPIXELSX/Y
    virtual int StartDocument(HDC printer, const DOCINFOA* info) = 0;
    // The DC to draw the page on; null when the page cannot be started.
    virtual HDC StartPage(HDC printer) = 0;
    virtual int EndPage(HDC printer, HDC page) = 0;
    virtual int EndDocument(HDC printer) = 0;
    virtual int SetAbort(HDC printer, ABORTPROC procedure) = 0;
    virtual void DeletePrinterDC(HDC printer) = 0;
};

// The installed device, else the system's.
PrintDevice& GetPrintDevice();
// Null puts the system's back; returns the one before.
PrintDevice* SetPrintDevice(PrintDevice* device);
