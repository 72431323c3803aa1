// What the manager's movie functions share: the movie filter list, the locating and choosing of
// a movie's file and the element a movie file plays in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/files/FileSlots.h"
#include "media/support/MediaElement.h"

inline constexpr uint32_t kStringChooseMovie = 2409;
inline constexpr uint32_t kStringFindMovie = 2417;
inline constexpr uint32_t kStringMovieFilterFirst = 4250;
inline constexpr uint32_t kStringMovieFilterLast = 4257;
inline constexpr uint32_t kMovieFilterBlockBytes = 264;

// The filter strings laid one after another, each ending in a zero, in a movable global block
// of kMovieFilterBlockBytes (the rest zero); null when it cannot be had. The caller frees it.
HGLOBAL NewMovieFilterBlock();
// The movie remembered in a stack, located (prompt 2417) beside the stack, on this machine or by
// asking; true with where it was found in `found`, false for an empty path.
bool LocateMovieFile(const FileSpec& remembered, FileSpec* found);
// The open dialog with preview (prompt 2409), starting from slot 14's movie, which keeps the
// choice for the next time; the choice goes into `chosen`. True when a file was chosen.
bool ChooseMovieFile(HWND owner, FileSpec* chosen);
// An AVIElement when the file plays in an MCIWnd window, else a QTMovieElement; from a video
// chunk and the movie's path, or from a path. Null when it cannot be allocated.
MediaElement* NewMovieElement(std::span<const uint8_t> chunk, const char* path);
MediaElement* NewMovieElement(const char* path);
// The QuickTime part of a QuickTime movie element; null for an AVI element.
QTElement* QuickTimeMovie(MediaElement* element);
