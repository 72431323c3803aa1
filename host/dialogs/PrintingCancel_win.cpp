// The printing job's frame: StartDoc and EndDoc, dialog PRT_CANCEL and the abort procedure.
#include <string>

#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "host/dialogs/PrintDevice.h"
#include "host/dialogs/PrintLayout.h"
#include "host/dialogs/Printing.h"
#include "host/dialogs/PrintingJob.h"
#include "resources/print_ids.h"

namespace {

INT_PTR CALLBACK CancelDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        PrintContext* c = PeekPrintContext();
        if (c && c->textFlag) {
            char text[64] = {};
            LoadResString(IDS_PRINTING_TEXT, text, sizeof text);
            SetDlgItemTextA(dialog, IDC_PRINT_STATUS, text);
        }
        CenterWindowOnParent(dialog);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        if (PrintContext* c = PeekPrintContext()) {
            if (HWND parent = GetParent(dialog))
                EnableWindow(parent, TRUE);
            c->abortFlag = 1;
            c->cancelDialog = nullptr;
        }
        DestroyWindow(dialog);
        return TRUE;
    default: return FALSE;
    }
}

// A paint of the card window while its layers are parked: drawn with them for the moment.
void DispatchCardPaint(MSG* msg) {
    LayerHandle kept = nullptr;
    TakeSavedLayerList(&kept);
    const LayerHandle printing = GetLayerListHead();
    SetLayerListHead(kept);
    DispatchMessageA(msg);
    SetLayerListHead(printing);
    SaveLayerListHead(kept);
}

}  // namespace

BOOL CALLBACK PrintAbortProc(HDC, int code) {
    PrintContext* c = PeekPrintContext();
    if (!c)
        return FALSE;
    MSG msg;
    while (!c->abortFlag && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            c->abortFlag = 1;
            break;
        }
        if (c->cancelDialog && IsDialogMessageA(c->cancelDialog, &msg))
            continue;
        if (msg.message == WM_PAINT && msg.hwnd == c->cardWindow && c->cardWindow) {
            DispatchCardPaint(&msg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (!PrintAbortContinues(code, &c->outOfDiskCount))
        c->abortFlag = 1;
    return !c->abortFlag;
}

bool StartPrintJob(HWND window, const char* title, bool text) {
    PrintContext* c = EnsurePrintContext();
    if (!c || !c->dialog.hDC)
        return false;
    PrintDevice& device = GetPrintDevice();
    c->cardWindow = window;
    c->abortFlag = 0;
    c->outOfDiskCount = 0;
    c->textFlag = text ? 1 : 0;
    c->abortProc = PrintAbortProc;
    c->cancelProc = CancelDlgProc;
    device.SetAbort(c->dialog.hDC, PrintAbortProc);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title && *title ? title : "Pageloom";
    const int job = device.StartDocument(c->dialog.hDC, &info);
    if (job <= 0) {
        device.DeletePrinterDC(c->dialog.hDC);
        c->dialog.hDC = nullptr;
        return false;
    }
    c->jobId = static_cast<uint32_t>(job);
    c->cancelDialog = ResCreateDialogParam(window, CancelDlgProc, "PRT_CANCEL", 0);
    if (c->cancelDialog) {
        char caption[300] = {};
        GetWindowTextA(c->cancelDialog, caption, 40);
        std::string full = std::string(caption) + (title ? title : "");
        SetWindowTextA(c->cancelDialog, full.c_str());
    }
    return true;
}

void EndPrintJob(HWND window) {
    PrintContext* c = PeekPrintContext();
    if (!c)
        return;
    PrintDevice& device = GetPrintDevice();
    if (c->dialog.hDC) {
        device.EndDocument(c->dialog.hDC);
        device.DeletePrinterDC(c->dialog.hDC);
        c->dialog.hDC = nullptr;
    }
    if (c->cancelDialog && IsWindow(c->cancelDialog))
        DestroyWindow(c->cancelDialog);
    c->cancelDialog = nullptr;
    c->textFlag = 0;
    if (window) {
        EnableWindow(window, TRUE);
        InvalidateRect(window, nullptr, FALSE);
        SetFocus(window);
    }
}

void ParkLayersForPrinting() {
    SaveLayerListHead(GetLayerListHead());
    SetLayerListHead(nullptr);
}

void UnparkLayersAfterPrinting() {
    FreeLayerList();
    LayerHandle kept = nullptr;
    TakeSavedLayerList(&kept);
    SetLayerListHead(kept);
    CreateClipRegion();
}
