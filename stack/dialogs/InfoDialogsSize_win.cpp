// INF_CHGSZANDCOLORS: the card size and number of colours of a new stack or of the open one.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/files/PrefsFile.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/info_ids.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "stack/dialogs/StackSizeDialogs.h"

namespace {

constexpr uint32_t kFirstPreset = 2140, kPresetCount = 8;
constexpr uint32_t kString16 = 200, kString256 = 201, kStringHigh = 202, kStringTrue = 203;
constexpr char kDigitsProcProp[] = "LoomDigitsProc";

struct SizeDialog {
    int mode;
    int width, height, depth;      // given
    int newWidth, newHeight, newDepth;
};

int ReadNumber(HWND dialog, int item) {
    BOOL ok = FALSE;
    const int value = static_cast<int>(GetDlgItemInt(dialog, item, &ok, TRUE));
    return ok ? value : 0;
}

bool Subclass(HWND edit) {
    const LONG_PTR old = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DigitsOnlyEditProc));
    return old && SetPropA(edit, kDigitsProcProp, reinterpret_cast<HANDLE>(old));
}

bool FillPresets(HWND dialog) {
    for (uint32_t i = 0; i < kPresetCount; ++i) {
        SizePreset preset;
        if (!ParseSizePreset(ResText(kFirstPreset + i), preset))
            return false;
        if (SendDlgItemMessageA(dialog, INF_SIZE_PRESETS, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(preset.name.c_str())) < 0)
            return false;
    }
    SendDlgItemMessageA(dialog, INF_SIZE_PRESETS, LB_SETCURSEL, 0, 0);
    return true;
}

void FillColors(HWND dialog, int depth) {
    const int display = GetDisplayBitsPerPixel();
    const HWND list = GetDlgItem(dialog, INF_SIZE_COLORS);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResText(kString256).c_str()));
    if (display >= 16)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResText(kStringHigh).c_str()));
    if (display >= 24)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResText(kStringTrue).c_str()));
    const int shown = std::min(display, depth);
    const uint32_t wanted = shown == 4 ? kString16 : shown == 8 ? kString256 : shown == 16 ? kStringHigh : kStringTrue;
    // A 16-colour stack finds no entry: nothing is selected.
    const LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(ResText(wanted).c_str()));
    SendMessageA(list, LB_SETCURSEL, index == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
}

void OpenSizeDialog(HWND dialog, SizeDialog& d) {
    char value[64] = {};
    ReadPrefString("user", "defaultsize", value, sizeof value);
    int width = d.width, height = d.height, depth = d.depth;
    if (d.mode != kOpenStackSizeMode && std::string(value) != "Bad")
        std::sscanf(value, "%d %d %d", &width, &height, &depth);
    SetDlgItemInt(dialog, INF_SIZE_WIDTH, width, TRUE);
    SetDlgItemInt(dialog, INF_SIZE_HEIGHT, height, TRUE);
    FillColors(dialog, depth);
    if (!FillPresets(dialog) || !Subclass(GetDlgItem(dialog, INF_SIZE_WIDTH)) ||
        !Subclass(GetDlgItem(dialog, INF_SIZE_HEIGHT)))
        EndDialog(dialog, IDCANCEL);
}

void PresetChosen(HWND dialog, const SizeDialog& d) {
    const LRESULT index = SendDlgItemMessageA(dialog, INF_SIZE_PRESETS, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(kPresetCount))
        return;
    SizePreset preset;
    if (!ParseSizePreset(ResText(kFirstPreset + static_cast<uint32_t>(index)), preset))
        return;
    int width = preset.width, height = preset.height;
    if (preset.width == 0) {
        width = d.width;
        height = d.height;
    } else if (preset.width == 1) {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    SetDlgItemInt(dialog, INF_SIZE_WIDTH, width, TRUE);
    SetDlgItemInt(dialog, INF_SIZE_HEIGHT, height, TRUE);
    SetFocus(GetDlgItem(dialog, INF_SIZE_WIDTH));
    SendDlgItemMessageA(dialog, INF_SIZE_WIDTH, EM_SETSEL, 0, -1);
}

int SelectedDepth(HWND dialog) {
    const LRESULT index = SendDlgItemMessageA(dialog, INF_SIZE_COLORS, LB_GETCURSEL, 0, 0);
    if (index >= 0) {
        char text[128] = {};
        if (SendDlgItemMessageA(dialog, INF_SIZE_COLORS, LB_GETTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text)) {
            SendDlgItemMessageA(dialog, INF_SIZE_COLORS, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
            const std::string chosen = text;
            if (chosen == ResText(kString256))
                return 8;
            if (chosen == ResText(kStringHigh))
                return 16;
            if (chosen == ResText(kStringTrue))
                return 32;
        }
    }
    return GetDisplayBitsPerPixel();
}

// OK: true when the values are taken.
bool ValidateSizeColors(HWND dialog, SizeDialog& d) {
    const int depth = SelectedDepth(dialog);
    const int width = ReadNumber(dialog, INF_SIZE_WIDTH), height = ReadNumber(dialog, INF_SIZE_HEIGHT);
    const int minWidth = MinimumCardExtent(GetSystemMetrics(SM_CXMIN));
    const int minHeight = MinimumCardExtent(GetSystemMetrics(SM_CYMIN));
    const int check = CheckCardSize(width, height, minWidth, minHeight, GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN));
    if (check == kAlertCardTooSmall) {
        ShowAlertOn(dialog, kAlertCardTooSmall);
        SetFocus(GetDlgItem(dialog, INF_SIZE_WIDTH));
        return false;
    }
    if (check == kAlertCardBiggerThanScreen && ShowAlertOn(dialog, kAlertCardBiggerThanScreen) != 1)
        return false;
    d.newWidth = width;
    d.newHeight = height;
    d.newDepth = depth;
    if (IsDlgButtonChecked(dialog, INF_SIZE_DEFAULT) == BST_CHECKED) {
        char value[64];
        std::snprintf(value, sizeof value, "%d %d %d", width, height, depth);
        WritePrefString("user", "defaultsize", value);
    }
    return true;
}

INT_PTR CALLBACK SizeColorsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* d = DialogStateOf<SizeDialog>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OpenSizeDialog(dialog, *reinterpret_cast<SizeDialog*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (!d)
            return FALSE;
        if (LOWORD(wParam) == INF_SIZE_PRESETS && HIWORD(wParam) == LBN_SELCHANGE) {
            PresetChosen(dialog, *d);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            if (ValidateSizeColors(dialog, *d))
                EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

LRESULT CALLBACK DigitsOnlyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(edit, kDigitsProcProp));
    if (message == WM_CHAR && wParam >= 0x20 && (wParam < '0' || wParam > '9'))
        return 0;
    if (message == WM_NCDESTROY) {
        RemovePropA(edit, kDigitsProcProp);
        if (old)
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    return old ? CallWindowProcA(old, edit, message, wParam, lParam) : DefWindowProcA(edit, message, wParam, lParam);
}

int AskStackSizeAndColors(HWND window, int mode, int* width, int* height, int* depth) {
    if (!width || !height || !depth)
        return IDCANCEL;
    SizeDialog d{mode, *width, *height, *depth, 0, 0, 0};
    const INT_PTR result = ResDialogBoxParam(window, SizeColorsProc, "INF_CHGSZANDCOLORS", reinterpret_cast<LPARAM>(&d));
    if (result != IDOK)
        return static_cast<int>(result);
    *width = d.newWidth;
    *height = d.newHeight;
    *depth = d.newDepth;
    return 0;
}
