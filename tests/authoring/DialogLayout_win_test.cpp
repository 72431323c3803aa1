// The authoring dialogs laid out at 96 dpi: each template made into a hidden dialog, every shown
// control lies inside the dialog's client area and clear of every other one. A group box may
// hold controls wholly inside it; controls that share one rectangle are alternatives of which
// the dialog shows one (the kind boxes of Object Features).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/DialogDriver_win.h"

namespace {

struct Control {
    int id;
    std::string className, text;
    RECT rect;
    bool groupBox;
};

std::string Describe(const Control& control) {
    return std::to_string(control.id) + " " + control.className + " \"" + control.text + "\" [" +
           std::to_string(control.rect.left) + "," + std::to_string(control.rect.top) + "," +
           std::to_string(control.rect.right) + "," + std::to_string(control.rect.bottom) + "]";
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The template of the module's dialog made at its own size, hidden; its shown controls, in
// client coordinates, and the client rectangle. A control whose class is missing is left out of
// the dialog, so the template's count is compared too.
bool MakeDialog(const char* name, std::vector<Control>* controls, RECT* client, std::string* why) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(5));
    if (!found) {
        *why = "no dialog resource";
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    std::vector<uint8_t> copy(bytes, bytes + SizeofResource(module, found));
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count.
    if (copy.size() < 26 || copy[0] != 1 || copy[2] != 0xFF || copy[3] != 0xFF) {
        *why = "not an extended template";
        return false;
    }
    DWORD style;
    memcpy(&style, copy.data() + 12, 4);
    style = (style & ~WS_VISIBLE) | DS_NOFAILCREATE;
    memcpy(copy.data() + 12, &style, 4);
    const int itemCount = copy[16] | copy[17] << 8;
    HWND dialog = CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                             QuietDialogProc, 0);
    if (!dialog) {
        *why = "CreateDialogIndirectParam failed " + std::to_string(GetLastError());
        return false;
    }
    GetClientRect(dialog, client);
    int made = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++made;
        const LONG childStyle = GetWindowLongA(child, GWL_STYLE);
        if (!(childStyle & WS_VISIBLE))
            continue;
        Control control;
        control.id = GetDlgCtrlID(child);
        char text[128] = {}, className[64] = {};
        GetWindowTextA(child, text, sizeof text);
        GetClassNameA(child, className, sizeof className);
        control.text = text;
        control.className = className;
        control.groupBox = lstrcmpiA(className, "Button") == 0 && (childStyle & 0x0F) == BS_GROUPBOX;
        GetWindowRect(child, &control.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
        // A drop-down combo box counts by its closed height.
        if (lstrcmpiA(className, "ComboBox") == 0 && (childStyle & 3) != CBS_SIMPLE) {
            RECT closed;
            GetWindowRect(child, &closed);
            control.rect.bottom = control.rect.top + (closed.bottom - closed.top);
        }
        controls->push_back(control);
    }
    DestroyWindow(dialog);
    if (made != itemCount) {
        *why = std::to_string(itemCount - made) + " of its controls could not be made";
        return false;
    }
    return true;
}

// Every fault of the dialog's layout, one a line; empty when none.
std::string LayoutFaults(const char* name) {
    std::vector<Control> controls;
    RECT client;
    std::string why;
    if (!MakeDialog(name, &controls, &client, &why))
        return why;
    std::string faults;
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& one = controls[i];
        if (!Inside(one.rect, client))
            faults += "outside the dialog: " + Describe(one) + "\n";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const Control& other = controls[j];
            RECT common;
            if (!IntersectRect(&common, &one.rect, &other.rect) || SameRect(one.rect, other.rect))
                continue;
            if ((one.groupBox && Inside(other.rect, one.rect)) || (other.groupBox && Inside(one.rect, other.rect)))
                continue;
            faults += "overlap: " + Describe(one) + " and " + Describe(other) + "\n";
        }
    }
    return faults;
}

TEST(DialogLayout, AuthoringDialogsKeepEveryControlInsideAndApart) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the layout is checked at 96 dpi";
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    // Button appearance and its first-change tip, the icon and cursor chooser, object features,
    // text appearance and style, find text, hypertext links, graphic appearance, cropping and
    // its scale, the card and stack information and the actions dialogs they open.
    for (const char* name : {"BUTTONDLG", "NOVICE1", "ICONSDLG", "IFEATURE", "TEXTINFO", "#1543", "FIND_TEXT",
                             "HYPERTEXTLINK", "GAPPEAR", "PCROP", "CROPSCALE", "INF_CARD", "INF_STACK", "BUTACT",
                             "OBJACT", "TRANSITIONS", "ANOTHERCARD", "MCOLORS"})
        EXPECT_EQ(LayoutFaults(name), "") << name;
}

}  // namespace
