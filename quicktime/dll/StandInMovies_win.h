// The stand-in's movie parts that need Windows: AVI frames over AVIFile, GIF frames over WIC and
// frames drawn into ports and graphics worlds.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "quicktime/dll/StandInMovies.h"

// The frames of an AVI file's first video stream from its start, decompressed by the system's
// codecs (StandInAvi_win.cpp); null when AVIFile cannot open them.
std::unique_ptr<StandInPictureSource> StandInAviPictures(const std::string& path, int64_t firstFrame);
// A GIF file as a movie of its composed frames, one 'vide' sample each (StandInGif_win.cpp).
int32_t OpenStandInGif(const std::string& path, std::unique_ptr<StandInMovie>* out);
// Photo-JPEG over WIC, the system's video decompressors and the log file (StandInVideo_win.cpp).
void InstallStandInVideoOutputs(StandInOutputs* outputs);
// Stops every sound and piece still playing: the library is going.
void ReleaseStandInMovieOutputs();
// Limits drawing in the dc to a region of the caller's (none: no limit); the HRGN made, which
// the caller deletes after restoring the dc.
HRGN StandInClipTo(HDC dc, QtWord clip);
// A frame scaled into the box of a window port or a graphics world, within the clip region.
void PresentStandInFrameInPort(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip);
