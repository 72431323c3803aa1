// The sound recorder: the sound the "TAPE" dialog holds, and its recording from the wave input
// into a temporary WAV file (SoundRecorder_win.cpp), which stopping all sounds also ends.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <string_view>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"

inline constexpr UINT kRecorderMeterTimer = 2;
inline constexpr UINT kRecorderMeterPeriodMs = 100;
inline constexpr uint32_t kRecorderBufferBytes = 100000;
inline constexpr uint8_t kRecorderUnfilled = 255;  // the meter finds the recorded end by it
inline constexpr int kRecorderNameChars = 31;
inline constexpr uint32_t kStringSoundFileFailed = 4136;  // "Failed to open sound file", in the error box

// The recorder's sound: what the dialog shows and OK stores. The sound fields outlive a run.
struct RecorderSound {
    uint32_t type = 0;      // 'Snd ' or 'Midi'
    uint16_t id = 0;        // the chosen resource; 0 none
    Handle data = 0;        // the recorder's own copy of the sound; 0 none
    uint32_t isFile = 0;    // the sound is the file below
    char file[kFileSpecPathSize] = {};  // the sound file's path, where it was last found
    char name[kRecorderNameChars + 2] = {};
    uint16_t flags = 0;     // 2 background, 4 MIDI
    int16_t volume = 127;
    uint16_t source = 0;    // 0 samples, 1 in use, 2 disk library
    uint16_t storeFlags = 0;
};
RecorderSound& CurrentRecorderSound();
// The sound's type, 'Snd ' or 'Midi', with the MIDI flag that plays and stores it as such.
void SetRecorderSoundType(uint32_t type);
// Drops the sound's data and id; the name stays.
void ClearRecorderSoundData();

// Quality from the keys held: 1 Shift (22050 Hz mono), else 2 Control (22050 Hz, the device's
// channels), else 0 (11025 Hz mono).
int RecordingQualityFromKeys();
// The format a quality records in for a device of that many channels.
WAVEFORMATEX RecordingFormat(int quality, WORD deviceChannels);
// Starts recording into a new temporary "LMS" file, the device reporting to the dialog; the
// alerts of a failure are shown and everything released. True when recording.
bool StartRecording(HWND dialog, int quality);
// MM_WIM_DATA: the header's bytes go to the file; after a stop, the last header finishes the
// file, which becomes the current sound. True when the recording ended with it.
bool RecorderBufferDone(HWND dialog, WAVEHDR* header);
// The meter level (0-128) of what the buffer being filled holds, estimated from the elapsed time.
int RecorderLevel();
bool IsRecording();
// Releases everything a recording holds (also on every failure).
void CloseRecording();

// A recording in progress: its wave input reset and the mouse released; then the recorder is
// no longer recording and a stop is requested.
void EndRecordingForStop();
// The name of the recorder's current sound (what the name field holds); empty when none.
std::string_view RecorderSoundName();
