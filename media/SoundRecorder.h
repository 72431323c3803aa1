// The sound recorder: the "TAPE" dialog's recording from the wave input, which stopping all
// sounds also ends.
#pragma once

#include <string_view>

// A recording in progress: its wave input reset and the mouse released; then the recorder is
// no longer recording and a stop is requested.
void EndRecordingForStop();
// The name of the recorder's current sound (what the name field holds); empty when none.
std::string_view RecorderSoundName();
