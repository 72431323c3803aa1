// Ids of the application palette's resources: the "MCOLORS" dialog and its items.
#pragma once

#define IDC_MCOLORS_GRID 50    // the 16 x 16 colour grid
#define IDC_MCOLORS_SWATCH 51  // the selected colour
