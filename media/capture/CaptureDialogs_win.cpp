// "VIDEOCAPTURE" (the Video Digitizer) and "VIDEOCAPTUREOPTIONS" (Video Setup), over the shared
// capture window (see Capture.h).
#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <string>

#include "core/files/FileLayer.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/WindowUtils.h"
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

// The capture dialog's state, kept with it.
struct DigitizerState {
    HWND dialog = nullptr;
    RECT area{};  // the picture area in the dialog's client coordinates
    bool frozen = false;
    int result = 0;
};
std::string g_framePath;

LRESULT Cap(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const HWND window = SharedCaptureWindow();
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}

// The capture window centred in the area, never above or left of its corner.
void CentreInArea(const DigitizerState& d) {
    const HWND window = SharedCaptureWindow();
    if (!window)
        return;
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = d.area.left + std::max(0, (static_cast<int>(d.area.right - d.area.left) - w) / 2);
    const int y = d.area.top + std::max(0, (static_cast<int>(d.area.bottom - d.area.top) - h) / 2);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ImageFits(const DigitizerState& d, const CaptureFacts& f) {
    return f.imageWidth <= d.area.right - d.area.left && f.imageHeight <= d.area.bottom - d.area.top;
}

void Relayout(const DigitizerState& d) {
    const HWND window = SharedCaptureWindow();
    if (!window)
        return;
    const CaptureFacts f = ReadCaptureFacts(window);
    if (ImageFits(d, f)) {
        SetWindowPos(window, nullptr, 0, 0, f.imageWidth, f.imageHeight, SWP_NOMOVE | SWP_NOZORDER);
        Cap(WM_CAP_SET_SCALE, FALSE);
    } else {
        SetWindowPos(window, nullptr, 0, 0, d.area.right - d.area.left, d.area.bottom - d.area.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        Cap(WM_CAP_SET_SCALE, TRUE);
    }
    CentreInArea(d);
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

bool GrabFrame(DigitizerState& d) {
    WaitCursor busy;
    Cap(WM_CAP_GRAB_FRAME);
    if (Cap(WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(g_framePath.c_str()))) {
        d.result = 1;
        return true;
    }
    const std::string text = ResText(kStringFileError) + "\n" + g_framePath;
    OwnedMessageBox(d.dialog, text.c_str(), ResText(kStringFileErrorCaption).c_str(), MB_OK | MB_ICONSTOP);
    return false;
}

void SetFreezeText(const DigitizerState& d, uint32_t id) { SetDlgItemTextA(d.dialog, kFreeze, ResText(id).c_str()); }

bool OnInit(DigitizerState& d, HWND dialog) {
    d.dialog = dialog;
    CloseCaptureWindow();
    if (g_framePath.empty())
        g_framePath = NewFramePath();
    const HWND area = GetDlgItem(dialog, kPictureArea);
    GetClientRect(area, &d.area);
    MapWindowPoints(area, dialog, reinterpret_cast<POINT*>(&d.area), 2);
    if (!OpenCaptureWindow(dialog, d.area, 1))
        return false;
    if (ImageFits(d, SharedCaptureFacts())) {
        Cap(WM_CAP_SET_SCALE, FALSE);
        const CaptureFacts& f = SharedCaptureFacts();
        SetWindowPos(SharedCaptureWindow(), nullptr, 0, 0, f.imageWidth, f.imageHeight, SWP_NOMOVE | SWP_NOZORDER);
    }
    CentreInArea(d);
    Cap(WM_CAP_PAL_AUTOCREATE, kPaletteFrames, kPaletteColours);
    SetFreezeText(d, kStringFreeze);
    return true;
}

void End(const DigitizerState& d, HWND dialog) {
    CloseCaptureWindow();
    EndDialog(dialog, d.result);
}

// The options dialog; with the capture dialog under it, that one's picture is laid out again
// after each of the driver's dialogs.
INT_PTR RunOptions(HWND parent, DigitizerState* under);

INT_PTR CALLBACK DigitizerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DigitizerState* kept = KeptDialogState<DigitizerState>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    DigitizerState& d = *kept;
    switch (message) {
    case WM_INITDIALOG:
        if (!OnInit(d, dialog))
            EndDialog(dialog, d.result);
        return TRUE;
    case WM_MOVE:
    case WM_SIZE: CentreInArea(d); return FALSE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: Cap(message, wParam, lParam); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kFreeze:
            if (!d.frozen) {
                if (GrabFrame(d)) {
                    SetFreezeText(d, kStringPlay);
                    d.frozen = true;
                }
            } else {
                Cap(WM_CAP_SET_PREVIEW, TRUE);
                SetFreezeText(d, kStringFreeze);
                d.frozen = false;
            }
            return TRUE;
        case IDOK:
            if (!d.frozen)
                d.result = GrabFrame(d) ? 1 : 0;
            End(d, dialog);
            return TRUE;
        case IDCANCEL: End(d, dialog); return TRUE;
        case kOptions:
            RunOptions(dialog, &d);
            Relayout(d);
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
    DigitizerState* under = KeptDialogState<DigitizerState>(dialog, message, lParam);
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
        if (under)
            Relayout(*under);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR RunOptions(HWND parent, DigitizerState* under) {
    return ResDialogBoxParam(parent, OptionsProc, "VIDEOCAPTUREOPTIONS", reinterpret_cast<LPARAM>(under));
}

}  // namespace

int RunVideoCaptureDialog(HWND parent) {
    DigitizerState d;
    return static_cast<int>(ResDialogBoxParam(parent, DigitizerProc, "VIDEOCAPTURE", reinterpret_cast<LPARAM>(&d)));
}

int RunCaptureOptionsDialog(HWND parent) { return static_cast<int>(RunOptions(parent, nullptr)); }

const std::string& CaptureFramePath() { return g_framePath; }
