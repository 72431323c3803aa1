// Commands whose subsystems are not built yet (dialogs of the object editors, paint options,
// LoomLogo, spelling, printing, the media library, filters, extension modules).
//
// MINIMAL: the command number is recorded and nothing else happens; each subsystem takes its
// numbers over when it comes.
#pragma once

#include <vector>

void RunDeferredCommand(int command);
// The commands recorded since the last call, oldest first.
std::vector<int> TakeDeferredCommands();
