// User and stack preferences in force, kept in process-wide values that every layer may read.
//
// The experienced-user flag comes from the preferences file at start-up (host/state/Preferences.h);
// the others come from the open stack's header when it is loaded and from the preferences
// dialog. Until start-up sets them they hold the values below.
#pragma once

#include <cstdint>

// Unforced alerts stay silent for an experienced user; false until start-up reads the file.
bool IsAdvancedUser();
void SetAdvancedUser(bool advanced);

// The stack is locked: the locked menu is used.
bool IsStackLocked();
void SetStackLocked(bool locked);
// The card number follows the stack name in the title.
bool IsCardNumberInTitle();
void SetCardNumberInTitle(bool shown);
// Automatic timers and hyperlinks run.
bool AreTimersOn();
void SetTimersOn(bool on);
// The stack is saved without asking.
bool IsAutoSave();
void SetAutoSave(bool on);
// Extra mouse clicks are ignored.
bool IsClickFilterOn();
void SetClickFilter(bool on);

// Presentation (screen) mode: 0 off (the window as it is), 1 plain, 2 a colour around the
// card, 3 the desktop wallpaper.
enum PresentationMode : int16_t {
    kPresentationOff = 0,
    kPresentationPlain = 1,
    kPresentationColor = 2,
    kPresentationWallpaper = 3,
};
inline constexpr uint16_t kPresentationShowTitle = 0x01;  // options bit 0: the title bar stays

struct Presentation {
    int16_t mode = kPresentationOff;
    uint16_t options = kPresentationShowTitle;
    int16_t color = 1;  // 1-based cell of the colour grid
};
// The presentation settings in force; changed through ApplyScreenMode (host/dialogs/PreferencesDialogs.h).
Presentation& CurrentPresentation();
