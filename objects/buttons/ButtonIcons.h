// Button icons and chosen cursors as stack resources (ButtonIcons.cpp; platform-free). The
// drawing of icon images is Buttons.h.
#pragma once

#include <cstdint>
#include <vector>

#include "core/memory/Handles.h"

// ---- ButtonIcons.cpp ----
inline constexpr uint16_t kFirstBuiltInIcon = 28016;
inline constexpr uint16_t kLastBuiltInIcon = 28368;
// A copy of the stack's 'Icon' resource, 0 when none.
Handle LoadIconResource(uint16_t id);
// The offset of image `index` (outside the count: image 0); 0 when it does not lie in the data.
uint32_t GetIconImageOffset(Handle iconData, int index);
// The first image's width (low word) and height (high word); 0 for data that does not fit.
uint32_t GetIconSize(Handle iconData);
// The chooser's choice, used up when an object is saved.
struct IconSelection {
    uint32_t mode;       // non-zero: icons; 0: cursors
    uint32_t fromStack;  // one of the stack's own resources
    uint16_t id;
    Handle data;         // ICO data, or 'Crsr' data (memory order)
};
IconSelection* GetIconSelection();
void ClearIconSelection();
Handle TakeIconSelectionData();  // a copy, 0 when none
// Stores the selection's data as a new 'Icon' or 'Crsr' resource: the id the stack gave it (a
// resource never changes in place), the selection's own id when it came from the stack, 0 when
// the write failed.
uint16_t StoreIconResource(Handle data);
uint16_t MapButtonIconId(uint16_t oldId, uint16_t id);

// The bytes of a cursor resource of the open stack (the cursor cache's source), empty when
// there is none.
std::vector<uint8_t> StackCursorData(uint16_t id);
