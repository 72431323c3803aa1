// Ids of the colour dialogs' items ("CPICK", "CTCOLOR", "ERASE", "ECOLOR") and their strings.
#pragma once

#define IDC_CPICK_PROMPT 100
#define IDC_CPICK_SWATCHES 50   // upper half the original colour, lower half the new one
#define IDC_CPICK_HUE 51
#define IDC_CPICK_SATURATION 52
#define IDC_CPICK_BRIGHTNESS 53
#define IDC_CPICK_HUE_ARROWS 54
#define IDC_CPICK_SATURATION_ARROWS 55
#define IDC_CPICK_BRIGHTNESS_ARROWS 56
#define IDC_CPICK_RED 57
#define IDC_CPICK_GREEN 58
#define IDC_CPICK_BLUE 59
#define IDC_CPICK_RED_ARROWS 60
#define IDC_CPICK_GREEN_ARROWS 61
#define IDC_CPICK_BLUE_ARROWS 62
#define IDC_CPICK_WHEEL 63
#define IDC_CPICK_SLIDER 64
#define IDC_CPICK_HUE_LABEL 101
#define IDC_CPICK_SATURATION_LABEL 102
#define IDC_CPICK_BRIGHTNESS_LABEL 103
#define IDC_CPICK_RED_LABEL 104
#define IDC_CPICK_GREEN_LABEL 105
#define IDC_CPICK_BLUE_LABEL 106

#define IDC_COLORS_GRID 50          // the 8 x 8 grid of the three small dialogs
#define IDC_CTCOLOR_PROMPT 100
#define IDC_ERASE_PROMPT 104
#define IDC_ECOLOR_PROMPT 202
#define IDC_ECOLOR_ERASE_SCREEN 51

#define IDS_FCOLORS_CLASS 1012       // "LM_Fcolors"
#define IDS_REGISTER_CLASS_FAILED 4177  // "Failed to register class: "
#define IDA_SYSTEM_COLOR 2274
#define IDA_ERASE_GROUP_CARD 2282
#define IDA_SAME_CARD_SIZE 2294
