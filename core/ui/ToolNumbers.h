// Tool numbers that layers below the tool palette compare with: 18 is browse.
#pragma once

inline constexpr int kBrowseTool = 18;
