// MIDI in the stand-in (StandInMidi.cpp): standard MIDI files turned into movie files of one
// music track and back, music tracks of movie data turned into timed MIDI messages, and the
// conversion calls with their components.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/formats/MovieFile.h"

inline constexpr size_t kStandInMaxMidiFile = 16u << 20;
inline constexpr int32_t kStandInCannotWrite = -34;  // dskFulErr: the output was not written

// A standard MIDI file as the bytes of a movie file with one music track.
int32_t StandInMidiToMovieFile(std::span<const uint8_t> midi, std::vector<uint8_t>* movieFile);
// A movie's music as a standard MIDI file with the same notes at the same times.
int32_t StandInMovieToMidiFile(const StandInMovie& movie, std::vector<uint8_t>* midi);

// The music tracks of movie data as timed MIDI messages, when the stand-in can turn their
// events into messages; otherwise the movie stays silent for its duration.
void AddStandInMusic(std::span<const uint8_t> file, const MovieFileInfo& info, StandInMovie* movie);

intptr_t DoConvertFileToMovieFile(const QtWord* args);
intptr_t DoConvertMovieToFile(const QtWord* args);
