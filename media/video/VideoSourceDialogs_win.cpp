// The two source choices. Their radio buttons take a double click, or a second click on the same
// radio within the double-click time, as OK.
#include <array>

#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "media/MediaManager.h"
#include "media/video/VideoSources.h"
#include "resources/video_ids.h"

namespace {

// The radios of the open dialog with the procedures they had.
struct Subclassed {
    HWND radio = nullptr;
    WNDPROC old = nullptr;
};
std::array<Subclassed, 4> g_radios{};
HWND g_lastClicked = nullptr;
LONG g_lastClickTime = 0;

WNDPROC OldProc(HWND radio) {
    for (const Subclassed& s : g_radios)
        if (s.radio == radio)
            return s.old;
    return DefWindowProcA;
}

LRESULT CALLBACK RadioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC old = OldProc(radio);
    if (message == WM_LBUTTONDBLCLK) {
        PostMessageA(GetParent(radio), WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        const LONG now = GetMessageTime();
        const bool second = radio == g_lastClicked && static_cast<UINT>(now - g_lastClickTime) <= GetDoubleClickTime();
        g_lastClicked = radio;
        g_lastClickTime = now;
        if (second) {
            PostMessageA(GetParent(radio), WM_COMMAND, IDOK, 0);
            return CallWindowProcA(old, radio, message, wParam, lParam);
        }
    }
    return CallWindowProcA(old, radio, message, wParam, lParam);
}

void SubclassRadios(HWND dialog, int first, int count) {
    g_lastClicked = nullptr;
    for (int i = 0; i < count && i < static_cast<int>(g_radios.size()); ++i) {
        HWND radio = GetDlgItem(dialog, first + i);
        g_radios[i] = {radio, radio ? reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                                          radio, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RadioProc)))
                                    : nullptr};
    }
}

void UnsubclassRadios() {
    for (Subclassed& s : g_radios) {
        if (s.radio && s.old)
            SetWindowLongPtrA(s.radio, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.old));
        s = {};
    }
    g_lastClicked = nullptr;
}

int CheckedRadio(HWND dialog, int first, int last) {
    for (int id = first; id <= last; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            return id;
    return 0;
}

void CheckAndFocus(HWND dialog, int first, int last, int id) {
    CheckRadioButton(dialog, first, last, id);
    SetFocus(GetDlgItem(dialog, id));
}

// ---- "DLG_VIDEOSRC" ----

INT_PTR CALLBACK VideoSourceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const bool capture = (static_cast<uint32_t>(lParam) & kMediaCaptureDriver) != 0;
        for (const int id : {IDC_VIDSRC_RECORD, IDC_VIDSRC_LIVE, IDC_VIDSRC_OR})
            EnableWindow(GetDlgItem(dialog, id), capture);
        CenterWindowOnParent(dialog);
        SubclassRadios(dialog, IDC_VIDSRC_DISK, 4);
        CheckAndFocus(dialog, IDC_VIDSRC_DISK, IDC_VIDSRC_RECORD, IDC_VIDSRC_DISK);
        return FALSE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        MascotPicture picture;
        if (LoadMascotPicture(&picture)) {
            DrawMascotPicture(dc, 4, 4, picture);
            FreeMascotPicture(&picture);
        }
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            const int checked = CheckedRadio(dialog, IDC_VIDSRC_DISK, IDC_VIDSRC_RECORD);
            UnsubclassRadios();
            EndDialog(dialog, LOWORD(wParam) == IDOK && checked ? checked - 1000 : kVideoCancelled);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// ---- "VIDSRCDLG" ----

int g_graphicResult = kGraphicFromFile;

constexpr struct {
    int id;
    int result;
    uint32_t needs;
} kGraphicRadios[] = {
    {IDC_GFXSRC_DISK, kGraphicFromFile, 0},
    {IDC_GFXSRC_VIDEO, kGraphicFromVideo, kMediaCaptureDriver},
    {IDC_GFXSRC_CAMERA, kGraphicFromCamera, kMediaCamera},
    {IDC_GFXSRC_TWAIN, kGraphicFromTwain, kMediaTwain},
};

}  // namespace

INT_PTR CALLBACK GraphicSourceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        CenterWindowOnParent(dialog);
        const auto capabilities = static_cast<uint32_t>(lParam);
        int start = IDC_GFXSRC_DISK;
        for (const auto& radio : kGraphicRadios) {
            const bool on = (capabilities & radio.needs) == radio.needs;
            EnableWindow(GetDlgItem(dialog, radio.id), on);
            if (on && radio.result == g_graphicResult)
                start = radio.id;
        }
        SubclassRadios(dialog, IDC_GFXSRC_DISK, 4);
        CheckAndFocus(dialog, IDC_GFXSRC_DISK, IDC_GFXSRC_TWAIN, start);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const int checked = CheckedRadio(dialog, IDC_GFXSRC_VIDEO, IDC_GFXSRC_TWAIN);
            g_graphicResult = kGraphicFromFile;
            for (const auto& radio : kGraphicRadios)
                if (radio.id == checked)
                    g_graphicResult = radio.result;
        } else if (LOWORD(wParam) == IDCANCEL) {
            g_graphicResult = kGraphicCancelled;
        } else {
            return FALSE;
        }
        UnsubclassRadios();
        EndDialog(dialog, 1);
        return TRUE;
    default: return FALSE;
    }
}

int GraphicSourceResult() { return g_graphicResult; }

int RunGraphicSourceDialog(HWND parent, uint32_t capabilities) {
    if (ResDialogBoxParam(parent, GraphicSourceDialogProc, "VIDSRCDLG", static_cast<LPARAM>(capabilities)) != 1)
        g_graphicResult = kGraphicCancelled;
    return g_graphicResult;
}

int RunVideoSourceDialog(HWND parent, uint32_t capabilities) {
    const INT_PTR result =
        ResDialogBoxParam(parent, VideoSourceProc, "DLG_VIDEOSRC", static_cast<LPARAM>(capabilities));
    return result > 0 && result <= kVideoRecorded ? static_cast<int>(result) : kVideoCancelled;
}
