// The frames of .mov video tracks (StandInMovieVideo.cpp).
#pragma once

#include <memory>
#include <vector>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/formats/MovieFile.h"

// The pictures of a video track of the file, each cut to maxWidth × maxHeight (the movie's box).
std::unique_ptr<StandInPictureSource> NewStandInMoviePictures(std::shared_ptr<const std::vector<uint8_t>> file,
                                                              const MovieTrack& track, int32_t maxWidth,
                                                              int32_t maxHeight);
// The track's display order from its composition offsets (none: decoding order).
void SetStandInDisplayOrder(const MovieTrack& stored, StandInTrack* track);
