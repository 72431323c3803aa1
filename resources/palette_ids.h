// Ids of the application palette's resources: the "MCOLORS" dialog and its items.
#pragma once
