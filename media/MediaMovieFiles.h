// What the manager's movie functions share: the movie filter list, the locating of a movie's
// file (file-spec slot 14) and the element a movie file plays in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "media/support/MediaElement.h"

inline constexpr uint32_t kStringChooseMovie = 2409;
inline constexpr uint32_t kStringFindMovie = 2417;
inline constexpr uint32_t kStringMovieFilterFirst = 4250;
inline constexpr uint32_t kStringMovieFilterLast = 4257;
inline constexpr uint32_t kMovieFilterBlockBytes = 264;

// The filter strings laid one after another, each ending in a zero, in a movable global block
// of kMovieFilterBlockBytes (the rest zero); null when it cannot be had. The caller frees it.
HGLOBAL NewMovieFilterBlock();
// Slot 14's movie located (prompt 2417); true with the found path in slot 14 and in path.
bool LocateMovieFile(char (&path)[kMediaPathChars]);
// The open dialog with preview (prompt 2409) on slot 14; true when a file was chosen.
bool ChooseMovieFile(HWND owner);
// An AVIElement when the file plays in an MCIWnd window, else a QTMovieElement; from a video
// chunk (the path is slot 14's) or from a path. Null when it cannot be allocated.
MediaElement* NewMovieElement(std::span<const uint8_t> chunk);
MediaElement* NewMovieElement(const char* path);
// The QuickTime part of a QuickTime movie element; null for an AVI element.
QTElement* QuickTimeMovie(MediaElement* element);
