// Launching programs and documents.
#pragma once

// MINIMAL until the launch action's dialog is built (LaunchPrograms_win.cpp): it holds no work
// handle to free.
void FreeLaunchDialogData();
