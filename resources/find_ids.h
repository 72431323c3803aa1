// Ids of the Find Text dialog "FIND_TEXT" (resources/text.rci).
#pragma once

#define IDC_FIND_TEXT 200
#define IDC_FIND_CASE 201
#define IDC_FIND_WRAP 202
#define IDC_FIND_ALL 210
#define IDC_FIND_EDITABLE 211
#define IDC_FIND_READONLY 212
