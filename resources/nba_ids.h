// Ids of the extension module chooser "NBA" (resources/nba.rci).
#pragma once

#define IDC_NBA_NAMES 81
#define IDC_NBA_INFO 82
#define IDC_NBA_USE 83
#define IDC_NBA_SAMPLES 84
#define IDC_NBA_IN_USE 85
#define IDC_NBA_DISK 86
#define IDC_NBA_DATA 87
#define IDC_NBA_OK 88
#define IDC_NBA_INFO_LABEL 112
#define IDC_NBA_NAMES_LABEL 113
#define IDC_NBA_ACCESS 114
