// Ids of the button appearance dialog and the first-button tip (resources/buttons.rci).
#pragma once

// "BUTTONDLG"
#define IDC_BUTTON_SHAPES 50
#define IDC_BUTTON_NAME 51
#define IDC_BUTTON_PREVIEW 52
#define IDC_BUTTON_NAME_COLORS 53
#define IDC_BUTTON_FILL_COLORS 54
#define IDC_BUTTON_ICONS 55
#define IDC_BUTTON_SHOW_NAME 56
#define IDC_BUTTON_SHOW_ICON 57
#define IDC_BUTTON_HIGHLIGHT 58
#define IDC_BUTTON_POSITION 59
#define IDC_BUTTON_FEATURES 60
#define IDC_BUTTON_ACTIONS 61
#define IDC_BUTTON_FORMAT 62

// "NOVICE1"
#define IDC_NOVICE_TOOLS 63  // an id "BUTTONDLG" lacks, so the two templates differ
#define IDC_NOVICE_BROWSE 51
