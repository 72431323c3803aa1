// Stopping every sound, and the sound names that mean "stop all sounds" instead of a sound.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "media/MediaManager.h"
#include "media/SoundRecorder.h"
#include "stack/format/ResFile.h"

namespace {

bool SameTextAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool IsStopAllSoundsName(std::string_view name) {
    // Whole names only: a prefix such as "" or "Stop" names an ordinary sound.
    return SameTextAnyCase(name, "Stop All Sounds") || SameTextAnyCase(name, "STOPSNDS.WAV");
}

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
