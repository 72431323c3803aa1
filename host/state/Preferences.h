// Preferences: the user's settings in the profile file "LMPREFS.INI" beside the program
// (core/files/PrefsFile.h reads and writes it), and
// the stack's settings in its header, edited in the "PREFERENCES" dialog and its presentation
// options ("POPTIONS", both host/dialogs/PreferencesDialogs.h). The values in force are
// process-wide (core/system/PreferenceFlags.h).
//
// Files of this area:
//   Preferences.cpp              platform-free: the file's place, the experienced-user value, the
//                                stack's settings in the header, the dialogs' choices, the frame's
//                                places in presentation mode
//   Preferences_win.cpp          the profile file, start-up, the plug-in folder, the wallpaper
//   MenuLock_win.cpp             the frame's menu bar, locked or not, and its Filters menu
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/files/PrefsFile.h"
#include "core/memory/Handles.h"
#include "core/system/PreferenceFlags.h"

#ifdef _WIN32
#include <windows.h>
#endif

inline constexpr uint32_t kAlertPasswordsDiffer = 2531;
inline constexpr uint32_t kStringPlugInFolder = 2658;  // "Plugins\"

// ---- Preferences.cpp ----
// The experienced-user flag from the value of user/advancedUser: set unless the value is "No"
// in any case, so a missing key ("Bad") and "0" count as experienced.
bool AdvancedUserFromValue(std::string_view value);

// The stack's settings as the dialog edits them, from a host-order stack header.
inline constexpr size_t kPasswordBytes = 16;  // at most 15 characters and a NUL
struct StackPreferences {
    uint16_t autoSave = 0;
    uint16_t experiencedUser = 0;
    uint16_t flags = 0;  // the header's flags word; bits 0x02 and 0x04 are edited here
    uint16_t timersAndLinks = 0;
    uint16_t locked = 0;
    uint16_t cardNumberInTitle = 0;
    char password[kPasswordBytes] = {};
    Presentation presentation;
};
// False when the header is shorter than 128 bytes.
bool ReadStackPreferences(std::span<const uint8_t> header, StackPreferences* prefs);
bool WriteStackPreferences(std::span<uint8_t> header, const StackPreferences& prefs);
void SetStackPassword(StackPreferences* prefs, std::string_view password);  // cut at 15
bool HasPassword(const StackPreferences& prefs);
// The values in force follow the settings (the click filter is flags bit 0x02).
void SetPreferenceGlobals(const StackPreferences& prefs);

// The check boxes of "PREFERENCES" when it is confirmed.
struct PreferenceBoxes {
    bool experienced = false;      // 51
    bool ignoreClicks = false;     // 52
    bool lock = false;             // 53
    bool cardNumber = false;       // 54
    bool timers = false;           // 55
    bool autoSave = false;         // 56
    bool presentation = false;     // 57
    bool highCompression = false;  // 58
};
PreferenceBoxes BoxesFromPreferences(const StackPreferences& prefs, bool advancedUser);
// The settings take the boxes; without presentation mode the mode is 0 and the title bar shown.
void TakePreferenceBoxes(const PreferenceBoxes& boxes, StackPreferences* prefs);

// "POPTIONS": the radio button a mode shows (50 plain, 51 wallpaper, 52 colour; the wallpaper
// only when there is one), and the mode a checked radio button gives.
int PresentationRadioFor(int16_t mode, bool hasWallpaper);
int16_t PresentationModeFor(int checkedRadio);

// Presentation mode on a frame window: what a change of settings does, and where things go.
struct ScreenMetrics {
    int screenWidth = 0, screenHeight = 0;
    int frameWidth = 0, frameHeight = 0;  // the dialog frame's thickness
    int captionHeight = 0, menuHeight = 0;
};
struct WindowBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowBox&) const = default;
};
struct ScreenModeSteps {
    bool redrawFrame = false;  // a new background
    bool fitToCard = false;    // presentation mode ends
    bool coverScreen = false;  // the frame covers the screen (again) and the card is centred
    bool operator==(const ScreenModeSteps&) const = default;
};
// Only presentation mode places the frame over the screen; a change of the title-bar option
// outside it changes nothing on the screen.
ScreenModeSteps PlanScreenMode(const Presentation& current, const Presentation& next);
// The frame over the whole screen; with the title bar hidden its caption lies above the top.
WindowBox FullScreenFrameBox(const ScreenMetrics& m, bool showTitle);
// The frame around a card window of this size, centred on the screen.
WindowBox FrameAroundCardBox(const ScreenMetrics& m, int cardWidth, int cardHeight, bool hasMenu);
// The card's place in a client area: centred, rounded toward zero.
WindowBox CentredCardBox(int clientWidth, int clientHeight, int cardWidth, int cardHeight);

#ifdef _WIN32
// ---- Preferences_win.cpp ----
// Start-up: the experienced-user flag from the file, and the working depth from the display.
void LoadUserPreferences();
// The filter plug-in folder into destSlot: for an experienced user user/PlugInPath of the
// profile file beside sourceSlot (a final backslash added); otherwise, or when that is empty,
// the folder named by the string beside sourceSlot. 0 when destSlot was set, -1 otherwise.
int ReadPlugInPath(int sourceSlot, uint32_t stringId, int destSlot);
// True when the Windows profile names a desktop wallpaper (neither empty nor "(None)").
bool HasWallpaper();

// ---- MenuLock_win.cpp ----
// Switches the frame's menu bar to "PageloomLock" (locked) or "LM"; nothing when the frame has
// no menu or the new one cannot be loaded.
void SetMenuLocked(HWND frame, bool locked);
// The frame's Filters menu goes, as a stack is left for another or a new one.
void RemoveFrameFiltersMenu(HWND frame);
#endif
