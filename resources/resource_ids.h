// Ids of dialogs, menus, bitmaps and other resources shared by the .rc scripts and the code.
#pragma once

// Alert boxes ("DOGIEHELP", "BIGLMMSG").
#define IDC_ALERT_ICON 50
#define IDC_ALERT_TEXT 51
#define IDC_ALERT_BUTTON1 52
#define IDC_ALERT_BUTTON2 53
#define IDC_ALERT_BUTTON3 54
#define IDC_BIGMSG_LINE1 60
#define IDC_BIGMSG_LINE12 71

// Each area keeps its ids in a header of its own.
#include "resources/navigation_ids.h"
#include "resources/palette_ids.h"
#include "resources/preference_ids.h"
