// MINIMAL until the sound recorder exists: nothing ever records, so stopping only sets the flags.
#include "media/SoundRecorder.h"

#include <windows.h>

#include <mmsystem.h>

namespace {

bool g_recording = false;
bool g_stopping = true;
HWAVEIN g_waveIn = nullptr;

}  // namespace

void EndRecordingForStop() {
    if (g_recording) {
        if (g_waveIn)
            waveInReset(g_waveIn);
        ReleaseCapture();
    }
    g_recording = false;
    g_stopping = true;
}

std::string_view RecorderSoundName() { return {}; }
