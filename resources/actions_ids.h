// Ids of the actions dialogs (resources/actions.rci).
#pragma once

// "BUTACT" and "OBJACT": the radio group "Places to Go:" (BUTACT only), the check boxes
// "Things to Do:", Done (1) and Cancel (2).
#define IDC_ACT_ANOTHER_CARD 49
#define IDC_ACT_NEXT_CARD 50
#define IDC_ACT_PREVIOUS_CARD 51
#define IDC_ACT_BACK 52
#define IDC_ACT_HOME_STACK 53
#define IDC_ACT_LAST_MARKED 54
#define IDC_ACT_ANOTHER_STACK 55
#define IDC_ACT_ANOTHER_PROGRAM 56
#define IDC_ACT_URL 57
#define IDC_ACT_NONE 58
#define IDC_ACT_SOUND 59
#define IDC_ACT_LOGO 60
#define IDC_ACT_NBA 61
#define IDC_ACT_VIDEO 62
#define IDC_ACT_ANIMATION 63
#define IDC_ACT_TIMER 64
#define IDC_ACT_TESTING 65

// "TRANSITIONS"
#define IDC_TRANS_LIST 50
#define IDC_TRANS_FAST 51
#define IDC_TRANS_MEDIUM 52
#define IDC_TRANS_SLOW 53
#define IDC_TRANS_TRY 54
#define IDC_TRANS_CHANGE_CARD 55
#define IDC_TRANS_SETTINGS 56

// "ANOTHERCARD"
#define IDC_CARD_PREVIOUS 50
#define IDC_CARD_NEXT 51
#define IDC_CARD_NEW_TIP 52

// The card arrows: normal and pressed.
#define IDB_ARROW_LEFT 32750
#define IDB_ARROW_RIGHT 32751
#define IDB_ARROW_LEFT_DOWN 32740
#define IDB_ARROW_RIGHT_DOWN 32741
