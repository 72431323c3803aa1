// Sounds the media tests make and what they read back: a square wave, stored 'Snd ' data of it,
// a MIDI file of four notes, and the loudness of what the stand-in's sound sink received.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quicktime/formats/SoundFiles.h"
#include "tests/support/LinkedStandIn_win.h"

// 8-bit unsigned samples of a square wave of the amplitude, at 11025 Hz.
WavePcm Square(uint32_t frames, int amplitude);
// Stored 'Snd ' data: format 1, one modifier, two commands, then a standard 8-bit header.
std::vector<uint8_t> StoredSnd(const WavePcm& pcm);
// Two seconds at 120 beats a minute: four notes of half a second.
std::vector<uint8_t> TwoSecondMidi();
std::vector<uint8_t> ReadAll(const std::string& path);
// The mean distance of the sink's 8-bit samples from silence (16-bit samples: scaled to 8);
// -1 when the sink holds no samples.
double SinkAmplitude(const std::vector<uint8_t>& wav);
// The samples of a sink's (or any) WAV file; empty when it holds none.
std::vector<uint8_t> WaveSamples(const std::vector<uint8_t>& wav);
// 8-bit samples no two neighbours of which are alike, so that where each lands shows the order.
std::vector<uint8_t> OrderedSamples(size_t n);
// Where 8-bit samples first stray by more than slack from the input repeated from its start, as
// our stand-in wave input feeds it, each at the volume (8.8) the stand-in's sink plays at; -1
// when they never do.
long FirstStray(const std::vector<uint8_t>& samples, const std::vector<uint8_t>& input, int slack, int volume = 0x100);
// The "MID" temporary movie files in the temporary folder (a MIDI import leaves none behind).
int CountTemporaryMidFiles();

// What the media tests set up around each test and undo in reverse: the module, the memory and
// the folder table, no alert suppressed, the linked stand-in on the test clock writing what it
// plays into a fresh sink file of the temporary folder.
class StandInSoundSession {
public:
    explicit StandInSoundSession(const char* sinkName);
    ~StandInSoundSession();
    StandInSoundSession(const StandInSoundSession&) = delete;
    StandInSoundSession& operator=(const StandInSoundSession&) = delete;
    bool Ready() const { return ready_; }
    const std::string& Sink() const { return sink_; }

private:
    bool ready_ = false;
    std::string sink_;
    std::optional<QuickTimeVariant> variant_;
};
