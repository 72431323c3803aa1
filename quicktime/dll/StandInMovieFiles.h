// Movie files and movie data by kind (StandInMovieFiles.cpp): AVI and GIF files through the
// platform's openers, QuickTime movie files by their atoms (video is described, not decoded),
// WAV, AIFF/AIFC and AU files as sound movies, MIDI files and 'Midi' data as music movies.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "quicktime/dll/StandInMovies.h"

bool StandInFileExists(const std::string& path);
// kQtNoErr and the movie, or an error.
int32_t OpenStandInMovieFile(const std::string& path, std::unique_ptr<StandInMovie>* out);
int32_t OpenStandInMovieData(std::span<const uint8_t> data, std::unique_ptr<StandInMovie>* out);
// The whole file, at most `limit` bytes; false when it cannot be read or is longer.
bool ReadStandInFile(const std::string& path, size_t limit, std::vector<uint8_t>* out);
bool WriteStandInFile(const std::string& path, std::span<const uint8_t> bytes);
