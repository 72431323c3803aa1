// Ids of the text links dialog (resources/text.rci).
#pragma once

// "HYPERTEXTLINK"
#define IDC_LINK_DELETE 1000
#define IDC_LINK_ACTIONS 1001
#define IDC_LINK_FIELD_ONLY 1002
#define IDC_LINK_ADD 1003
#define IDC_LINK_LIST 1004
#define IDC_LINK_TEXT 1005
#define IDC_LINK_RENAME 1006
