// The animation dialog "EDITANIMATION" (AnimationDialog_win.cpp): the settings of one animated
// object. The editor (AnimationEdit_win.cpp) runs it again after each command that leaves it.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// Runs the dialog on the sprite, whose settings OK, "&Get new image" and "&Try It" apply first.
// The button or command that ended it: IDOK, IDCANCEL, IDC_ANIM_GET_IMAGE, IDC_ANIM_TRY,
// IDC_ANIM_PATH_COMMANDS (a new path) or IDC_ANIM_EDIT_PATH; -1 when it could not be shown.
INT_PTR ShowAnimationDialog(HWND owner, Handle sprite);
