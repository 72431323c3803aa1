// Commands whose subsystems are not built: the paint commands (Scale, Replace Colors,
// Gradients, Cookie-cutter, Line Size, Brush Shape, Grid, a paint tool's double click), image
// filters, the LoomLogo run box and item scripts, and the spelling checker.
//
// MINIMAL: the command number is recorded and nothing else happens; each subsystem takes its
// numbers over when it comes.
#pragma once

#include <vector>

void RunDeferredCommand(int command);
// The commands recorded since the last call, oldest first.
std::vector<int> TakeDeferredCommands();
