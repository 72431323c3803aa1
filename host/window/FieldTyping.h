// A character typed while the card window had the focus, passed on to the active text field
// (FieldTyping_win.cpp). It lies beside the field's window procedure, which can reach the
// modules and LoomLogo: the request block they share is kept around the typing.
#pragma once

#include <windows.h>

// 1 when sent; 0 without an active field or for character 6.
int TypeCharIntoActiveField(WPARAM character);
