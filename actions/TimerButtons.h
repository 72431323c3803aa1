// Timer buttons: action records that run by themselves a while after their card is shown, once
// or again and again. The table holds the current card's timers; the periodic tick counts them
// down and the player performs the due ones (host/player/TimerFiring.h).
//
//   TimerButtons.cpp       the table: rebuilt for each card shown, counted down in tenths of a
//                          second, cleared when the card is left
//   TimerEdit.cpp          the delay as the timer dialog's edit shows, reads and types it
//   TimerButtons_win.cpp   the "MAGICBUTTONS" dialog that sets a record's timer
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- TimerButtons.cpp ----
inline constexpr uint32_t kTimerTableCapacity = 20;

// Where an entry's actions live: a button's own record, or an 'Actn' resource.
enum TimerSource : uint32_t { kTimerFromButton = 0, kTimerFromAction = 1 };

struct TimerEntry {
    uint16_t id = 0;  // the button's id or the 'Actn' id; 0 for a free entry
    uint32_t source = kTimerFromButton;
    int32_t remaining = 0;  // tenths of a second
    int32_t reload = 0;
    bool repeats = false;
};

// A record's timer value in tenths of a second.
int32_t TimerValueTenths(uint16_t value);

// Makes the table when there is none; false when memory runs out.
bool MakeTimerTable();
bool HasTimerTable();
// The current card's timers afresh: the card's and the stack's click actions, then the objects
// of the card in scan order (a graphic's or text object's 'Actn', a button's own record). The
// first 20 are kept; the table is made with the first.
void RebuildTimerTable();
// Adds the timer of the 'Actn' resource; 1 when added.
int AddTimerFromActionResource(uint16_t actionId);
// Adds the record's timer when it has a mode and the table has room; the count starts now.
// 1 when added.
int AddTimerEntry(std::span<const uint8_t> record, uint32_t source);
// Counts the timers down by the tenths of a second gone since the last count; ticks short of a
// tenth wait for the next count. Only with timersOn (the stack's timers word) non-zero and the
// browse tool; otherwise the time passes uncounted. True when an entry was counted down.
bool TickTimerTable(uint32_t timersOn);
void ClearTimerTable();
void FreeTimerTable();
// The table as it stands, and put back so: a card drawn again without having been left (a move
// that did not happen) keeps its timers' counts, and a once-only timer that went off stays gone.
std::vector<uint8_t> CopyTimerTable();
void RestoreTimerTable(const std::vector<uint8_t>& copy);
int TimerCount();  // entries added since the last rebuild
// The entry at a place of the table (a free one when out of range).
TimerEntry GetTimerEntry(uint32_t index);
// Changes whenever the table is cleared or rebuilt: a performance that moved to another card.
uint32_t TimerTableGeneration();
// When the entry at index is due (remaining below 1): reloads it when it repeats, else frees it,
// and gives it as it was. False when it is free or not due.
bool TakeDueTimer(uint32_t index, TimerEntry* due);
// The records of the current card that carry a timer, counted as the table would add them
// (without its limit).
int CountCardTimers();

// Keeps the table locked while nested users (the performer pumps messages) reach it.
class TimerTableLock {
public:
    TimerTableLock();
    ~TimerTableLock();
    TimerTableLock(const TimerTableLock&) = delete;
    TimerTableLock& operator=(const TimerTableLock&) = delete;

private:
    uint32_t locked_;
};

// The timer dialog's working mode and delay (tenths), kept in the table's header; false when
// there is no table.
bool SetTimerDialogWords(uint16_t mode, int32_t tenths);
bool GetTimerDialogWords(uint16_t* mode, int32_t* tenths);

// ---- TimerEdit.cpp ----
inline constexpr int32_t kTimerEditMaxTenths = 999;
inline constexpr size_t kTimerEditCharacters = 4;

// The delay as "seconds.tenths", or as whole seconds when the point form is not asked for and
// there are no tenths.
std::string TimerEditText(int32_t tenths, bool pointForm);
// The whole seconds before the point times 10, plus the digit after it.
int32_t ReadTimerEditText(std::string_view text);
// A character typed into the edit with its selection: digits, one point and backspace only, at
// most two digits before the point and one after; a third digit typed after two at the end
// puts the point before it; backspace shows the rest afresh. False when the character is refused.
struct TimerEditState {
    std::string text;
    size_t selStart = 0, selEnd = 0;
};
bool TypeIntoTimerEdit(TimerEditState& edit, char ch);
// One step of the up-down: tenths in the point form, whole seconds otherwise; past the range
// it goes round to the other end.
int32_t StepTimerValue(int32_t tenths, int delta, bool pointForm);

#ifdef _WIN32
#include <windows.h>

// ---- TimerButtons_win.cpp ----
// "MAGICBUTTONS" on a record's timer mode and value. Refuses (0) without a table, and with
// alert 4557 when the card has 20 timers. OK writes mode 1 or 2 and the value (0x1000 plus
// tenths, or 0 for at once) and returns 1; when the stack's timers are off, alert 2289 offers to
// turn them on. Cancel returns 0 and frees an empty table.
int RunTimerDialog(HWND window, uint16_t* mode, uint16_t* value);
#endif
