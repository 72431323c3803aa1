// Sound movies made in memory (StandInMovieEdits.cpp): sound descriptions (QtSoundDescription)
// as callers pass them, in the machine's order, and the samples of a sound media turned into PCM.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "quicktime/QtTypes.h"
#include "quicktime/dll/StandInMovies.h"


struct StandInSoundFormat {
    uint32_t format = 0;
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t rate = 0;  // whole hertz
};
StandInSoundFormat ReadStandInSoundDescription(std::span<const uint8_t> description);
// kQtNoErr for what the stand-in plays ('raw ' 8-bit unsigned or 16/24/32-bit big-endian,
// 'twos', 'sowt'); kStandInBadFormat for MACE and every other codec.
int32_t StandInPlayableSound(const StandInSoundFormat& format);
// Adds samples (each one frame of all channels) of the description to a sound track's PCM.
int32_t AddStandInSoundSamples(StandInTrack* track, std::span<const uint8_t> data,
                               std::span<const uint8_t> description, uint32_t samples, uint32_t durationPerSample);
void AddStandInSampleRun(StandInTrack* track, uint32_t count, uint32_t duration);
// The description of little-endian PCM ('raw ' for 8 bits, 'sowt' above).
std::vector<uint8_t> StandInSoundDescriptionBytes(const StandInPcm& pcm);
// A movie of one sound track holding this PCM (sound files opened as movies).
std::unique_ptr<StandInMovie> StandInSoundMovie(StandInPcm pcm);
