// The sound names that mean "stop all sounds" rather than a sound to play.
#pragma once

#include <string_view>

// "Stop All Sounds" or "STOPSNDS.WAV", in any case; only the whole name counts.
bool IsStopAllSoundsName(std::string_view name);
