// Ids of the launch area's resources: the launch action's dialog, the address dialog and the
// question asked before anything is started.
#pragma once

// "LAUNCHDLG"
#define IDC_LAUNCH_CLEAR 3
#define IDC_LAUNCH_CHOOSE_PROGRAM 4
#define IDC_LAUNCH_CHOOSE_DOCUMENT 5
#define IDC_LAUNCH_QUIT 6
#define IDC_LAUNCH_PROGRAM 8
#define IDC_LAUNCH_DOCUMENT 9

// "GETURL"
#define IDC_GETURL_EDIT 100

// "LAUNCHASK": what would be started, in full; "No" is the default.
#define IDC_LAUNCHASK_TEXT 10
