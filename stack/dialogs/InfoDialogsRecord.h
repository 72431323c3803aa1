// The working state of the stack and card information dialogs, and the parts of them that need
// no window: sizes in kilobytes, the size presets, the card settings written back on OK, the
// progress bar's geometry.
//
//   InfoDialogsRecord.cpp   the record and the rules below
//   authoring/info/InfoDialogs_win.cpp   INF_STACK and INF_CARD with their re-open loop
//   InfoDialogsSize_win.cpp INF_CHGSZANDCOLORS
//   InfoProgress_win.cpp    INF_PROGRESS
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/ui/AlertText.h"  // MinimumCardExtent
#include "core/memory/Handles.h"
#include "format/StackFile.h"

// One at a time, held from the dialog's opening to its end.
struct InfoDialogRecord {
    Handle arriving;
    Handle leaving;
    Handle clicking;
    uint16_t lastEventButton;
    uint16_t flags;
    int32_t cursor;
    char name[256];
};
static_assert(sizeof(InfoDialogRecord) == 276);

enum InfoFlags : uint16_t {
    kInfoArriving = 0x01,
    kInfoLeaving = 0x02,
    kInfoClicking = 0x04,
    kInfoLockColors = 0x08,
    kInfoGroupCard = 0x10,
    kInfoMarkedCard = 0x20,
};

// Where the three actions and the cursor of a stack (header) or card (record) are kept.
struct ActionWords {
    uint32_t action[3];
    uint32_t cursor;
};
inline constexpr ActionWords kStackActionWords{{kHeaderStackActionA, kHeaderClosingAction, kHeaderStackActionB},
                                              kHeaderCursorId};
inline constexpr ActionWords kCardActionWords{{kCardAction1, kCardAction2, kCardAction3}, kCardCursor};

// The record of the current dialog, 0 when none.
Handle GetInfoDialogRecord();
// Frees the record of the current dialog with its action copies.
void FreeInfoDialogData();
// A fresh record: the three actions loaded (LoadActionResource) from the id words of the stack
// header (isStack) or the current card, the cursor from its word. False, nothing kept, when
// any of them cannot be made.
bool PrepareInfoDialogRecord(bool isStack);
// The record's action handle for event 0, 1, 2.
Handle InfoAction(const InfoDialogRecord& record, int event);

// n bytes in kilobytes, a remainder of 512 or more rounding up; "%ld K".
std::string KilobytesText(uint32_t bytes);
// (free physical + free page file) / 2^20, summed in 64 bits.
uint64_t AvailableMegabytes(uint64_t physical, uint64_t pageFile);
// The picture block length of a kind-1 card record longer than 98 bytes, else 0.
uint32_t CardBackgroundBytes(std::span<const uint8_t> card);

// A size preset "name~width~height": the name before the first tilde and the numbers after it
// (missing ones 0). False without a tilde.
struct SizePreset {
    std::string name;
    int width = 0;
    int height = 0;
};
bool ParseSizePreset(std::string_view text, SizePreset& preset);

// A typed card size against the bounds: 0 fits, else the alert: 2295 below the minimum (or
// above kMaxCardExtent), 2302 larger than the screen (a question).
inline constexpr int kAlertCardTooSmall = 2295;
inline constexpr int kAlertCardBiggerThanScreen = 2302;
int CheckCardSize(int width, int height, int minWidth, int minHeight, int screenWidth, int screenHeight);

// The card settings of INF_CARD written into a host-order card record: the name (cut to the
// 15 characters the field holds) and the Marked and Lock colours bits; every other flag bit is
// kept. The name is written when it differs in more than the case of ASCII letters, or when
// the flags changed. True when anything was written.
bool ApplyCardNameAndFlags(std::span<uint8_t> card, std::string_view name, bool marked, bool lockColors);

// The progress bar inside the text control (left, top, right, bottom of it, dialog units or
// pixels alike) and the filled part for done of total.
struct BarRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
BarRect ProgressBarRect(int textLeft, int textTop, int textRight, int textBottom);
// The grey part: from left + 1 to left + 1 + (width - 2) x done / total, one pixel inside the
// outline vertically; empty when done is 0 or total below 1.
BarRect ProgressFillRect(const BarRect& bar, int done, int total);
