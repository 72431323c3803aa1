// The stand-in's effects on Windows: frames drawn into the port window, and the parameter
// dialog, a small modal dialog made in memory that chooses the side a wipe starts from.
#include <windows.h>

#include <string_view>
#include <vector>

#include "quicktime/dll/QtStandInEffects.h"

namespace {

constexpr int kSideFirst = 101;  // four radio buttons 101..104
constexpr const char* kSideNames[] = {"From the left", "From the right", "From the top", "From the bottom"};

void PresentFrame(QtWord port, const uint8_t* pixels, int width, int height) {
    HWND window = reinterpret_cast<HWND>(port);
    HDC dc = GetDC(window);
    if (!dc)
        return;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(window, dc);
}

// A DLGTEMPLATE with its items, built word by word.
class TemplateBuilder {
public:
    void Align() {
        while (words_.size() % 2)
            words_.push_back(0);
    }
    void Text(std::string_view text) {
        for (char c : text)
            words_.push_back(static_cast<uint8_t>(c));
        words_.push_back(0);
    }
    void Dword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void Dialog(DWORD style, int items, short cx, short cy, std::string_view title) {
        Dword(style);
        Dword(0);
        words_.push_back(static_cast<WORD>(items));
        for (short v : {short(0), short(0), cx, cy})
            words_.push_back(static_cast<WORD>(v));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard class
        Text(title);
        words_.push_back(8);  // DS_SETFONT
        Text("MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, std::string_view text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy})
            words_.push_back(static_cast<WORD>(v));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        Text(text);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK ParameterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CheckRadioButton(dialog, kSideFirst, kSideFirst + 3, kSideFirst + static_cast<int>(*reinterpret_cast<uint32_t*>(lParam) % 4));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* side = reinterpret_cast<uint32_t*>(GetWindowLongPtrA(dialog, DWLP_USER));
            for (int i = 0; i < 4; ++i)
                if (IsDlgButtonChecked(dialog, kSideFirst + i) == BST_CHECKED)
                    *side = static_cast<uint32_t>(i);
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

bool RunParameterDialog(std::span<const uint8_t>, QtWord owner, uint32_t* side) {
    TemplateBuilder t;
    t.Dialog(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 6, 150, 96,
             "Effect Parameters");
    for (int i = 0; i < 4; ++i)
        t.Item(BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), 10, short(8 + 14 * i), 120, 12,
               static_cast<WORD>(kSideFirst + i), 0x0080, kSideNames[i]);
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 20, 72, 50, 14, IDOK, 0x0080, "OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 80, 72, 50, 14, IDCANCEL, 0x0080, "Cancel");
    uint32_t chosen = *side;
    const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.get(), reinterpret_cast<HWND>(owner),
                                                   ParameterDialogProc, reinterpret_cast<LPARAM>(&chosen));
    if (result != IDOK)
        return false;
    *side = chosen;
    return true;
}

}  // namespace

void InstallStandInWindowsProcs() {
    SetStandInFramePresenter(PresentFrame);
    SetStandInParameterDialog(RunParameterDialog);
}
