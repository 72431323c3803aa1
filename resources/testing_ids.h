// Ids of the testing buttons' dialogs (resources/testing.rci).
#pragma once

// "ASKUSERNAME"
#define IDC_USERNAME_EDIT 1000

// "TESTING": one radio per testing choice, 0 to 3 in order.
#define IDC_TESTING_NONE 1004
#define IDC_TESTING_CORRECT 1005
#define IDC_TESTING_INCORRECT 1006
#define IDC_TESTING_ASK_NAME 1007
