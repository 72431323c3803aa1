// The frame's menu bar: the full menu "LM", or "PageloomLock" while the stack is locked.
#include "host/state/Preferences.h"

#include "actions/NbaMenu.h"
#include "core/files/FileSlots.h"
#include "core/ui/Resources.h"
#include "paint/FiltersMenu.h"

namespace {

// The palettes' items: the palettes stand on their own, so the bar does not offer them.
constexpr UINT kToolsPaletteItem = 250;
constexpr UINT kColorPaletteItem = 400;
constexpr int kFiltersMenuFirst = 1;
constexpr int kFiltersMenuCount = 14;

}  // namespace

void RemoveFrameFiltersMenu(HWND frame) {
    if (frame && IsWindow(frame))
        RemoveFiltersMenu(frame, kFiltersMenuFirst, kFiltersMenuCount);
}

void SetMenuLocked(HWND frame, bool locked) {
    if (!frame || !IsWindow(frame))
        return;
    HMENU old = GetMenu(frame);
    if (!old)
        return;
    HMENU menu = ResLoadMenu(locked ? "PageloomLock" : "LM");
    if (!menu)
        return;
    if (locked)
        RemoveFiltersMenu(frame, kFiltersMenuFirst, kFiltersMenuCount);
    SetMenu(frame, menu);
    DeleteMenu(menu, kToolsPaletteItem, MF_BYCOMMAND);
    DeleteMenu(menu, kColorPaletteItem, MF_BYCOMMAND);
    DrawMenuBar(frame);
    DestroyMenu(old);
    if (!locked) {
        BuildNbaMenu(frame, kSlotExtrasFolder, "*.xtr", menu, kExtrasMenuPosition, kNbaMenuCapacity);
        RebuildFiltersMenu(frame, kFiltersMenuFirst, kFiltersMenuCount);
    }
}
