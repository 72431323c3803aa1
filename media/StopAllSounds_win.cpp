// Stopping every sound, and the sound resources whose name stops them instead of playing.
#include <algorithm>
#include <string_view>

#include "media/MediaManager.h"
#include "media/SoundRecorder.h"
#include "media/StopAllSoundsName.h"
#include "format/ResFile.h"

void StopAllSounds(int all) {
    MediaStopSounds(all);
    EndRecordingForStop();
}

bool StopIfStopAllSoundsName(Handle sound) {
    uint8_t name[kResNameSize] = {};
    std::string_view text = RecorderSoundName();
    if (GetStackResFile() && sound && GetResInfo(sound, nullptr, nullptr, name, nullptr) == kFileOk)
        text = std::string_view(reinterpret_cast<const char*>(name + 1), std::min<size_t>(name[0], kResNameSize - 1));
    if (!IsStopAllSoundsName(text))
        return false;
    StopAllSounds(1);
    return true;
}
