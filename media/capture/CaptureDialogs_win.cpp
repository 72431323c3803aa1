// "VIDEOCAPTURE" (the Video Digitizer) and "VIDEOCAPTUREOPTIONS" (Video Setup), over the shared
// capture window (see Capture.h).
#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <string>

#include "core/files/FileLayer.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"

namespace {

enum : int {
    kPictureArea = 1008,
    kOptions = 1009,
    kFreeze = 1011,
    kDriverList = 1001,
    kDisplayButton = 1003,
    kFormatButton = 1004,
    kSourceButton = 1006,
};
constexpr uint32_t kStringFreeze = 4128, kStringPlay = 4129, kStringFileErrorCaption = 4130,
                   kStringFileError = 4131;
constexpr int kPaletteFrames = 6, kPaletteColours = 256;

struct DigitizerState {
    HWND dialog = nullptr;
    RECT area{};  // the picture area in the dialog's client coordinates
    bool frozen = false;
    int result = 0;
    bool relayout = false;
};
DigitizerState g;
std::string g_framePath;

LRESULT Cap(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const HWND window = SharedCaptureWindow();
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}

// The capture window centred in the area, never above or left of its corner.
void CentreInArea() {
    const HWND window = SharedCaptureWindow();
    if (!window)
        return;
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = g.area.left + std::max(0, (static_cast<int>(g.area.right - g.area.left) - w) / 2);
    const int y = g.area.top + std::max(0, (static_cast<int>(g.area.bottom - g.area.top) - h) / 2);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ImageFits(const CaptureFacts& f) {
    return f.imageWidth <= g.area.right - g.area.left && f.imageHeight <= g.area.bottom - g.area.top;
}

void Relayout() {
    const HWND window = SharedCaptureWindow();
    if (!window)
        return;
    const CaptureFacts f = ReadCaptureFacts(window);
    if (ImageFits(f)) {
        SetWindowPos(window, nullptr, 0, 0, f.imageWidth, f.imageHeight, SWP_NOMOVE | SWP_NOZORDER);
        Cap(WM_CAP_SET_SCALE, FALSE);
    } else {
        SetWindowPos(window, nullptr, 0, 0, g.area.right - g.area.left, g.area.bottom - g.area.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        Cap(WM_CAP_SET_SCALE, TRUE);
    }
    CentreInArea();
}

// A temporary name with the extension BMP; the .tmp file that reserved it goes.
std::string NewFramePath() {
    char temp[MAX_PATH] = {};
    if (!MakeTempFileName("vdc", temp, sizeof temp))
        return {};
    DeleteFileA(temp);
    std::string path = temp;
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.resize(dot);
    return path + ".BMP";
}

bool GrabFrame() {
    WaitCursor busy;
    Cap(WM_CAP_GRAB_FRAME);
    if (Cap(WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(g_framePath.c_str()))) {
        g.result = 1;
        return true;
    }
    const std::string text = ResText(kStringFileError) + "\n" + g_framePath;
    OwnedMessageBox(g.dialog, text.c_str(), ResText(kStringFileErrorCaption).c_str(), MB_OK | MB_ICONSTOP);
    return false;
}

void SetFreezeText(uint32_t id) { SetDlgItemTextA(g.dialog, kFreeze, ResText(id).c_str()); }

bool OnInit(HWND dialog) {
    g = DigitizerState{};
    g.dialog = dialog;
    CloseCaptureWindow();
    if (g_framePath.empty())
        g_framePath = NewFramePath();
    const HWND area = GetDlgItem(dialog, kPictureArea);
    GetClientRect(area, &g.area);
    MapWindowPoints(area, dialog, reinterpret_cast<POINT*>(&g.area), 2);
    if (!OpenCaptureWindow(dialog, g.area, 1))
        return false;
    if (ImageFits(SharedCaptureFacts())) {
        Cap(WM_CAP_SET_SCALE, FALSE);
        const CaptureFacts& f = SharedCaptureFacts();
        SetWindowPos(SharedCaptureWindow(), nullptr, 0, 0, f.imageWidth, f.imageHeight, SWP_NOMOVE | SWP_NOZORDER);
    }
    CentreInArea();
    Cap(WM_CAP_PAL_AUTOCREATE, kPaletteFrames, kPaletteColours);
    SetFreezeText(kStringFreeze);
    return true;
}

void End(HWND dialog) {
    CloseCaptureWindow();
    EndDialog(dialog, g.result);
}

INT_PTR CALLBACK DigitizerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!OnInit(dialog))
            EndDialog(dialog, g.result);
        return TRUE;
    case WM_MOVE:
    case WM_SIZE: CentreInArea(); return FALSE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: Cap(message, wParam, lParam); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kFreeze:
            if (!g.frozen) {
                if (GrabFrame()) {
                    SetFreezeText(kStringPlay);
                    g.frozen = true;
                }
            } else {
                Cap(WM_CAP_SET_PREVIEW, TRUE);
                SetFreezeText(kStringFreeze);
                g.frozen = false;
            }
            return TRUE;
        case IDOK:
            if (!g.frozen)
                g.result = GrabFrame() ? 1 : 0;
            End(dialog);
            return TRUE;
        case IDCANCEL: End(dialog); return TRUE;
        case kOptions:
            g.relayout = true;
            RunCaptureOptionsDialog(dialog);
            g.relayout = false;
            Relayout();
            SetFocus(GetDlgItem(dialog, kOptions));
            Cap(WM_CAP_SET_PREVIEW, TRUE);
            SyncCaptureDepth();
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        bool selected = false;
        for (int i = 0; i < kCaptureDriverCount; ++i) {
            std::string description;
            if (!CaptureDriverDescription(i, &description))
                continue;
            char text[128];
            wsprintfA(text, "%s", description.c_str());
            SendDlgItemMessageA(dialog, kDriverList, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(text));
            if (!selected)
                SendDlgItemMessageA(dialog, kDriverList, CB_SETCURSEL, 0, 0);
            selected = true;
        }
        const CaptureFacts f = ReadCaptureFacts(SharedCaptureWindow());
        EnableWindow(GetDlgItem(dialog, kFormatButton), f.formatDialog);
        EnableWindow(GetDlgItem(dialog, kDisplayButton), f.displayDialog);
        EnableWindow(GetDlgItem(dialog, kSourceButton), f.sourceDialog);
        return TRUE;
    }
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: Cap(message, wParam, lParam); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        case kFormatButton: ShowCaptureFormatDialog(); break;
        case kDisplayButton: ShowCaptureDisplayDialog(); break;
        case kSourceButton: ShowCaptureSourceDialog(); break;
        default: break;
        }
        if (LOWORD(wParam) == kFormatButton || LOWORD(wParam) == kDisplayButton || LOWORD(wParam) == kSourceButton)
            SetFocus(GetDlgItem(dialog, IDOK));
        if (g.relayout)
            Relayout();
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

int RunVideoCaptureDialog(HWND parent) {
    return static_cast<int>(ResDialogBoxParam(parent, DigitizerProc, "VIDEOCAPTURE", 0));
}

int RunCaptureOptionsDialog(HWND parent) {
    return static_cast<int>(ResDialogBoxParam(parent, OptionsProc, "VIDEOCAPTUREOPTIONS", 0));
}

const std::string& CaptureFramePath() { return g_framePath; }
