// The system's printer.
#include "host/dialogs/PrintDevice.h"

namespace {

class SystemPrinter final : public PrintDevice {
public:
    BOOL PrintDialog(PRINTDLGA* dialog) override { return PrintDlgA(dialog); }
    DWORD DialogError() override { return CommDlgExtendedError(); }
    int Caps(HDC printer, int index) override { return GetDeviceCaps(printer, index); }
    int StartDocument(HDC printer, const DOCINFOA* info) override { return StartDocA(printer, info); }
    HDC StartPage(HDC printer) override { return ::StartPage(printer) > 0 ? printer : nullptr; }
    int EndPage(HDC printer, HDC) override { return ::EndPage(printer); }
    int EndDocument(HDC printer) override { return EndDoc(printer); }
    int SetAbort(HDC printer, ABORTPROC procedure) override { return SetAbortProc(printer, procedure); }
    void DeletePrinterDC(HDC printer) override {
        if (printer)
            DeleteDC(printer);
    }
};

SystemPrinter g_system;
PrintDevice* g_installed = nullptr;

}  // namespace

PrintDevice& GetPrintDevice() { return g_installed ? *g_installed : g_system; }

PrintDevice* SetPrintDevice(PrintDevice* device) {
    PrintDevice* before = g_installed;
    g_installed = device;
    return before;
}
