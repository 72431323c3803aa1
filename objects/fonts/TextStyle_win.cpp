#include "objects/fonts/TextStyle_win.h"

#include "graphics/layers/ObjectLayer.h"
#include "objects/TextFields.h"

namespace {

constexpr int kPlainItem = 1375, kLeftItem = 1379;
constexpr int kAlignments[] = {0, 1, -1};

StyleChecks g_styleChecks;
int g_alignment = 0;

void Check(HMENU menu, int item, bool on) {
    if (menu)
        CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

// The active field's window, marked modified; null without one.
HWND ModifiedActiveField() {
    LayerLock<FieldLayer> field(GetActiveTextField());
    if (!field || !field->window)
        return nullptr;
    field->modified = 1;
    return field->window;
}

}  // namespace

StyleChecks GetCurrentStyleChecks() { return g_styleChecks; }
int GetCurrentAlignment() { return g_alignment; }

void DoStyleMenu(HMENU menu, int command) {
    g_styleChecks = ToggleStyleItem(g_styleChecks, command - kPlainItem);
    const StyleChecks& c = g_styleChecks;
    Check(menu, kPlainItem, c.plain);
    Check(menu, kPlainItem + 1, c.bold);
    Check(menu, kPlainItem + 2, c.italic);
    Check(menu, kPlainItem + 3, c.underline);
    if (HWND window = ModifiedActiveField()) {
        TextSetStyle(window, StyleBitsOf(c), TextScope::Selection);
        SetFocus(window);
    }
}

void DoAlignMenu(HMENU menu, int command) {
    const int item = command - kLeftItem;
    if (item < 0 || item > 2)
        return;
    g_alignment = kAlignments[item];
    for (int i = 0; i < 3; ++i)
        Check(menu, kLeftItem + i, i == item);
    if (HWND window = ModifiedActiveField()) {
        TextSetAlignment(window, g_alignment);
        SetFocus(window);
    }
}
