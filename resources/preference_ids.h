// Ids of the preference dialogs "PREFERENCES" and "POPTIONS".
#pragma once

// "PREFERENCES": the stack's settings.
#define IDC_PREF_CONFIRM_LABEL 48     // "Enter password again:"
#define IDC_PREF_CONFIRM 49
#define IDC_PREF_PASSWORD 50
#define IDC_PREF_EXPERIENCED 51
#define IDC_PREF_IGNORE_CLICKS 52
#define IDC_PREF_LOCK 53
#define IDC_PREF_CARD_NUMBER 54
#define IDC_PREF_TIMERS 55
#define IDC_PREF_AUTOSAVE 56
#define IDC_PREF_PRESENTATION 57
#define IDC_PREF_HIGH_COMPRESSION 58

// "POPTIONS": presentation mode.
#define IDC_POPT_PLAIN 50             // mode 1
#define IDC_POPT_WALLPAPER 51         // mode 3
#define IDC_POPT_COLOR 52             // mode 2
#define IDC_POPT_GRID 53
#define IDC_POPT_SHOW_TITLE 54
#define IDC_POPT_GROUP 60
