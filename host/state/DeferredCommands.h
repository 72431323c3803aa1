// Commands whose subsystems are not built: the paint commands (Scale, Replace Colors,
// Gradients, Cookie-cutter, Line Size, Brush Shape, Grid, a paint tool's double click), image
// filters, the LoomLogo run box and the item, card and stack scripts, and the spelling checker.
//
// MINIMAL: the command number is recorded and nothing else happens; each subsystem takes its
// numbers over when it comes.
#pragma once

#include <vector>

void RunDeferredCommand(int command);
// The menu commands whose owners are not built (scale and rotate, line size, brush
// shape, grid, replace colours, gradients, cookie-cutter, spell checker, run box, item, card and
// stack scripts): their items are greyed and the commands only recorded.
bool IsDeferredMenuCommand(int command);
// The commands recorded since the last call, oldest first.
std::vector<int> TakeDeferredCommands();
