// "DLG_VIDEOCAP": a movie recorded from the capture card into the chosen AVI file, tried out in an
// MCIWnd window over the preview, and kept or thrown away.
#include <windows.h>
#include <vfw.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/system/LoadedLibraries.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/WindowUtils.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "media/capture/Capture.h"
#include "media/video/RecordTime.h"
#include "media/video/VideoSources.h"
#include "quicktime/VfwCalls.h"
#include "resources/video_ids.h"
#include "stack/cards/CardList.h"

namespace {

constexpr uint32_t kAlertReplaceMovie = 2335;
constexpr uint32_t kStringStopRecording = 2620;
constexpr uint32_t kStringStopPlayback = 2621;

enum RecordState : uint16_t { kIdle = 1, kRecording = 2, kPlaying = 4 };

// The dialog's state while it is open, kept with it.
struct Recording {
    uint16_t state = kIdle;
    HICON icon = nullptr;
    HWND capture = nullptr;
    HWND playback = nullptr;
    bool newFile = false;
    HMODULE acm = nullptr;
    std::string path;
    bool formatDialog = false;
};

// The remembered capture image size.
int16_t g_imageWidth = 160;
int16_t g_imageHeight = 120;

constexpr int kControls[] = {IDC_VIDCAP_VIDEOOPT, IDC_VIDCAP_SOUNDOPT, IDC_VIDCAP_RECORD, IDC_VIDCAP_TRY, IDOK, IDCANCEL};

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on); }
void Show(HWND dialog, int id, bool on) { ShowWindow(GetDlgItem(dialog, id), on ? SW_SHOW : SW_HIDE); }

RECT PreviewArea(HWND dialog) {
    RECT r{};
    HWND frame = GetDlgItem(dialog, IDC_VIDCAP_PREVIEW);
    GetWindowRect(frame, &r);
    ScreenRectToClient(dialog, &r);
    r.left += 8;
    r.right -= 8;
    r.top += 16;
    r.bottom -= 8;
    return r;
}

// The capture image fitted into the area, proportions kept, centred.
void FitCapture(Recording& rec, HWND dialog) {
    const RECT area = PreviewArea(dialog);
    const int aw = area.right - area.left, ah = area.bottom - area.top;
    const int iw = std::max<int>(1, g_imageWidth), ih = std::max<int>(1, g_imageHeight);
    int w = aw, h = aw * ih / iw;
    if (h > ah) {
        h = ah;
        w = ah * iw / ih;
    }
    SetWindowPos(rec.capture, nullptr, area.left + (aw - w) / 2, area.top + (ah - h) / 2, w, h, SWP_NOZORDER);
}

void SetRememberedFormat(Recording& rec) {
    const LRESULT size = SendMessageA(rec.capture, WM_CAP_GET_VIDEOFORMAT, 0, 0);
    if (size < static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)))
        return;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    SendMessageA(rec.capture, WM_CAP_GET_VIDEOFORMAT, bytes.size(), reinterpret_cast<LPARAM>(bytes.data()));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
    header->biWidth = g_imageWidth;
    header->biHeight = g_imageHeight;
    header->biSizeImage = static_cast<DWORD>(g_imageWidth) * g_imageHeight * header->biBitCount * header->biPlanes / 8;
    SendMessageA(rec.capture, WM_CAP_SET_VIDEOFORMAT, bytes.size(), reinterpret_cast<LPARAM>(bytes.data()));
}

// Free space of the current drive over the byte rate of the capture format.
uint64_t MaxSeconds(Recording& rec) {
    BITMAPINFOHEADER header{};
    if (SendMessageA(rec.capture, WM_CAP_GET_VIDEOFORMAT, sizeof header, reinterpret_cast<LPARAM>(&header)) <
        static_cast<LRESULT>(sizeof header))
        return 0;
    uint32_t image = header.biSizeImage;
    if (image == 0)
        image = static_cast<uint32_t>(((header.biWidth * header.biBitCount + 31) / 32) * 4 * std::abs(header.biHeight));
    CAPTUREPARMS parms{};
    if (!SendMessageA(rec.capture, WM_CAP_GET_SEQUENCE_SETUP, sizeof parms, reinterpret_cast<LPARAM>(&parms)))
        parms.dwRequestMicroSecPerFrame = 0;
    ULARGE_INTEGER freeBytes{};
    if (!GetDiskFreeSpaceExA(nullptr, &freeBytes, nullptr, nullptr))
        return 0;
    return MaxRecordSeconds(freeBytes.QuadPart, CaptureByteRate(image, parms.dwRequestMicroSecPerFrame));
}

void SetStateIcon(Recording& rec, HWND dialog, const char* iconName, uint32_t hintId) {
    rec.icon = iconName ? LoadIconA(GetAppInstance(), iconName) : nullptr;
    if (hintId) {
        char text[128] = {};
        LoadResString(hintId, text, sizeof text);
        SetDlgItemTextA(dialog, IDC_VIDCAP_HINT, text);
    }
    const bool busy = iconName != nullptr;
    Show(dialog, IDC_VIDCAP_MAXLABEL, !busy);
    Show(dialog, IDC_VIDCAP_MAXTIME, !busy);
    Show(dialog, IDC_VIDCAP_ICON, busy);
    Show(dialog, IDC_VIDCAP_HINT, busy);
    InvalidateRect(dialog, nullptr, TRUE);
}

void Busy(Recording& rec, HWND dialog, const char* icon, uint32_t hint) {
    SetStateIcon(rec, dialog, icon, hint);
    for (const int id : kControls)
        Enable(dialog, id, false);
}

void Restore(Recording& rec, HWND dialog) {
    SetStateIcon(rec, dialog, nullptr, 0);
    for (const int id : kControls)
        Enable(dialog, id, true);
    Enable(dialog, IDC_VIDCAP_VIDEOOPT, rec.formatDialog);
    Enable(dialog, IDC_VIDCAP_SOUNDOPT, rec.acm != nullptr);
    rec.state = kIdle;
}

// Errors the window reports while it closes are not the user's concern.
void ClosePlayback(Recording& rec) {
    if (HWND playback = rec.playback) {
        rec.playback = nullptr;
        MCIWndStop(playback);
        DestroyWindow(playback);
    }
    ShowWindow(rec.capture, SW_SHOW);
}

void DestroyCapture(Recording& rec) {
    if (rec.capture) {
        SendMessageA(rec.capture, WM_CAP_DRIVER_DISCONNECT, 0, 0);
        DestroyWindow(rec.capture);
    }
    rec.capture = nullptr;
}

void Record(Recording& rec, HWND dialog) {
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_VIDCAP_TRY)) && ShowAlertOn(dialog, kAlertReplaceMovie) != 1)
        return;
    Busy(rec, dialog, "CAMCORDER", kStringStopRecording);
    rec.state = kRecording;
    CAPTUREPARMS parms{};
    SendMessageA(rec.capture, WM_CAP_GET_SEQUENCE_SETUP, sizeof parms, reinterpret_cast<LPARAM>(&parms));
    // The sequence runs until a click, inside the message.
    parms.fYield = FALSE;
    parms.fAbortLeftMouse = TRUE;
    SendMessageA(rec.capture, WM_CAP_SET_SEQUENCE_SETUP, sizeof parms, reinterpret_cast<LPARAM>(&parms));
    SendMessageA(rec.capture, WM_CAP_SEQUENCE, 0, 0);
}

void TryIt(Recording& rec, HWND dialog) {
    Busy(rec, dialog, "FILMSTRIP", kStringStopPlayback);
    HMODULE vfw = GetModuleHandleA("msvfw32.dll");
    if (!vfw)
        vfw = LoadLibraryA("msvfw32.dll");
    constexpr DWORD kStyle = WS_CHILD | MCIWNDF_NOPLAYBAR | MCIWNDF_NOMENU | MCIWNDF_NOTIFYMODE | MCIWNDF_NOTIFYPOS |
                             MCIWNDF_NOTIFYERROR | MCIWNDF_NOERRORDLG;
    rec.playback = vfw ? CallMCIWndCreate(vfw, dialog, GetAppInstance(), kStyle, rec.path.c_str()) : nullptr;
    if (!rec.playback) {
        Restore(rec, dialog);
        return;
    }
    MCIWndSeek(rec.playback, MCIWND_START);
    RECT r{};
    GetWindowRect(rec.capture, &r);
    ScreenRectToClient(dialog, &r);
    ShowWindow(rec.capture, SW_HIDE);
    SetWindowPos(rec.playback, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
    if (MCIWndPlay(rec.playback) == 0) {
        rec.state = kPlaying;
    } else {
        ClosePlayback(rec);
        Restore(rec, dialog);
    }
}

void VideoOptions(Recording& rec, HWND dialog) {
    if (!rec.formatDialog)
        return;
    const HWND shared = SharedCaptureWindow();
    SetSharedCaptureWindow(rec.capture);
    RunCaptureOptionsDialog(dialog);
    SetSharedCaptureWindow(shared);
    CAPSTATUS status{};
    if (SendMessageA(rec.capture, WM_CAP_GET_STATUS, sizeof status, reinterpret_cast<LPARAM>(&status))) {
        g_imageWidth = static_cast<int16_t>(status.uiImageWidth);
        g_imageHeight = static_cast<int16_t>(status.uiImageHeight);
    }
    SendMessageA(rec.capture, WM_CAP_SET_PREVIEW, TRUE, 0);
    FitCapture(rec, dialog);
    InvalidateRect(dialog, nullptr, TRUE);
}

void SoundOptions(Recording& rec, HWND dialog) {
    if (!rec.acm)
        return;
    DWORD largest = 0;
    CallAcmMetrics(rec.acm, nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest);
    const LRESULT current = SendMessageA(rec.capture, WM_CAP_GET_AUDIOFORMAT, 0, 0);
    const size_t size = std::max<size_t>({largest, static_cast<size_t>(std::max<LRESULT>(current, 0)), sizeof(WAVEFORMATEX)});
    std::vector<uint8_t> format(size);
    if (current > 0)
        SendMessageA(rec.capture, WM_CAP_GET_AUDIOFORMAT, format.size(), reinterpret_cast<LPARAM>(format.data()));
    ACMFORMATCHOOSEA chooser{};
    static_assert(sizeof(void*) != 4 || sizeof chooser == 232);
    chooser.cbStruct = sizeof chooser;
    chooser.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
    chooser.hwndOwner = DialogOwner(dialog);
    chooser.pwfx = reinterpret_cast<WAVEFORMATEX*>(format.data());
    chooser.cbwfx = static_cast<DWORD>(format.size());
    chooser.fdwEnum = ACM_FORMATENUMF_HARDWARE | ACM_FORMATENUMF_INPUT;
    if (CallAcmFormatChoose(rec.acm, &chooser))
        SendMessageA(rec.capture, WM_CAP_SET_AUDIOFORMAT, format.size(), reinterpret_cast<LPARAM>(format.data()));
}

void Finish(Recording& rec, HWND dialog, int button) {
    SetStateIcon(rec, dialog, nullptr, 0);
    ClosePlayback(rec);
    if (button == IDCANCEL && rec.newFile && GetFileAttributesA(rec.path.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileA(rec.path.c_str());
    DestroyCapture(rec);
    if (rec.acm)
        SafeFreeLibrary(rec.acm);
    rec.acm = nullptr;
    EndDialog(dialog, button);
}

bool Open(Recording& rec, HWND dialog) {
    rec.state = kIdle;
    rec.newFile = GetFileAttributesA(rec.path.c_str()) == INVALID_FILE_ATTRIBUTES;
    rec.capture = CreateConnectedCaptureWindow("LMCapture", WS_CHILD | WS_VISIBLE, PreviewArea(dialog), dialog,
                                                 IDC_VIDCAP_WINDOW);
    if (!rec.capture)
        return false;
    SetRememberedFormat(rec);
    FitCapture(rec, dialog);
    rec.formatDialog = ReadCaptureFacts(rec.capture).formatDialog;
    Enable(dialog, IDC_VIDCAP_VIDEOOPT, rec.formatDialog);
    char unit[64] = {};
    GetDlgItemTextA(dialog, IDC_VIDCAP_MAXTIME, unit, sizeof unit);
    const uint64_t seconds = MaxSeconds(rec);
    SetDlgItemTextA(dialog, IDC_VIDCAP_MAXTIME, RecordTimeText(seconds, unit).c_str());
    if (seconds == 0) {
        Enable(dialog, IDC_VIDCAP_TRY, false);
        Enable(dialog, IDC_VIDCAP_RECORD, false);
    } else if (!SendMessageA(rec.capture, WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(rec.path.c_str()))) {
        DestroyCapture(rec);
        return false;
    }
    Enable(dialog, IDC_VIDCAP_TRY, false);
    Enable(dialog, IDOK, false);
    Show(dialog, IDC_VIDCAP_ICON, false);
    Show(dialog, IDC_VIDCAP_HINT, false);
    // The caption: the file's name without folder or extension.
    std::string name = rec.path.substr(rec.path.find_last_of("\\/:") + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    SetWindowTextA(dialog, name.c_str());
    rec.acm = SafeLoadLibrary("msacm32.dll");
    Enable(dialog, IDC_VIDCAP_SOUNDOPT, rec.acm != nullptr);
    return true;
}

INT_PTR CALLBACK RecordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Recording* kept = KeptDialogState<Recording>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    Recording& rec = *kept;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindowOnParent(dialog);
        if (!Open(rec, dialog)) {
            ShowAlertOn(dialog, kAlertCaptureOpenFailed);
            Finish(rec, dialog, IDCANCEL);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_VIDCAP_RECORD:
            Record(rec, dialog);
            if (rec.state == kRecording)  // the click that ended the sequence
                Restore(rec, dialog);
            return TRUE;
        case IDC_VIDCAP_TRY: TryIt(rec, dialog); return TRUE;
        case IDC_VIDCAP_VIDEOOPT: VideoOptions(rec, dialog); return TRUE;
        case IDC_VIDCAP_SOUNDOPT: SoundOptions(rec, dialog); return TRUE;
        case IDOK:
        case IDCANCEL: Finish(rec, dialog, LOWORD(wParam)); return TRUE;
        default: return FALSE;
        }
    case WM_LBUTTONUP:
        if (rec.state == kPlaying)
            ClosePlayback(rec);
        if (rec.state != kIdle) {
            if (rec.state == kRecording)
                SendMessageA(rec.capture, WM_CAP_STOP, 0, 0);
            Restore(rec, dialog);
        }
        return TRUE;
    case MCIWNDM_NOTIFYMODE:
        if (rec.playback && MCIWndGetPosition(rec.playback) >= MCIWndGetEnd(rec.playback)) {
            ClosePlayback(rec);
            Restore(rec, dialog);
        }
        return TRUE;
    case MCIWNDM_NOTIFYERROR:
        if (rec.playback && reinterpret_cast<HWND>(wParam) == rec.playback)
            ShowAlertOn(dialog, kAlertNotEnoughMemory);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        if (rec.icon) {  // in the icon's place beside "&Sound Options..."
            RECT r{};
            GetWindowRect(GetDlgItem(dialog, IDC_VIDCAP_ICON), &r);
            ScreenRectToClient(dialog, &r);
            DrawIcon(dc, r.left, r.top, rec.icon);
        }
        EndPaint(dialog, &paint);
        return TRUE;
    }
    default: return FALSE;
    }
}

}  // namespace

int RunMovieRecordDialog(HWND parent, const char* path) {
    if (!path || !path[0])
        return IDCANCEL;
    Recording rec;
    rec.path = path;
    const INT_PTR result = ResDialogBoxParam(parent, RecordProc, "DLG_VIDEOCAP", reinterpret_cast<LPARAM>(&rec));
    return result == IDOK ? IDOK : IDCANCEL;
}
