// The colour depth of the open stack against the display's.
#pragma once

// Always 1. When the stack is deeper than the display, it is first converted to the display
// depth (after telling the user). Called before every edit that marks the card changed.
int CheckStackDepthAgainstDisplay();
