// The frames an animated object gets from each source, before they become a film: a strip
// picture holding every frame one below the other, the frames' rectangles in it, and the colour
// that shows through, if any.
//
//   AnimSeries.cpp        numbered series: path split and number order (AnimSeries.h)
//   AnimFrames_win.cpp    series, animated GIF and cropped-picture frames; films from strips
//                         and from movies
//   CardGrab_win.cpp      frames grabbed from the card: rectangle, lasso, colour region
//   AnimSource_win.cpp    the "ANIMSOURCE" dialog and GetAnimationSource (AnimSource.h)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// Frame rectangles are 16-bit: a strip stops before it passes this many rows.
inline constexpr int kMaxStripRows = 32767;

struct FrameStrip {
    HBITMAP strip = nullptr;        // a device bitmap; the frames one below the other
    std::vector<ShortRect> frames;  // left, top, right, bottom within the strip
    bool transparent = false;       // the colour below shows through
    uint8_t rgb[3] = {};
    POINT startOnScreen{};          // card grab: the frame's centre, where the object starts
};
void FreeFrameStrip(FrameStrip* strip);

// What a source made of a file.
enum class FrameSourceResult { NotThisSource, Cancelled, Made };

// ---- AnimFrames_win.cpp ----
// A numbered series beside the path: its files found, the crop confirmed on the chosen one and
// applied to all, then stacked in number order.
FrameSourceResult GetSeriesFrames(const char* path, FrameStrip* out);
// The files of the series the path belongs to in number order (at most 1000); empty when the
// name makes no series or only the one file is found.
std::vector<std::string> FindSeriesFiles(const char* path);
// The crop rectangle (right and bottom excluded; empty: each picture whole) cut out of each
// file in order and stacked: frame i at (0, i x h, w - 1, (i + 1) x h - 1). Files that do not
// load are left out; false, after alert 2342, when none loads.
bool StackSeriesFiles(const std::vector<std::string>& files, const RECT& crop, FrameStrip* out);
// The frames of an animated GIF on a white strip as wide as the widest, each below the one
// before; the GIF's transparent colour when it names one. NotThisSource for a file that is not
// an animated GIF or whose frames cannot be read.
FrameSourceResult GetGifFrames(const char* path, FrameStrip* out);
// One picture cut out by the cropping dialog: a lasso's cut-out laid on its colour, which then
// shows through; a rectangle's as it is.
FrameSourceResult GetCroppedFrame(const char* path, FrameStrip* out);
// A new bitmap of the picture's size: the picture where the mask is white, the colour elsewhere.
HBITMAP MaskedFrameOnColour(HBITMAP picture, HBITMAP mask, COLORREF colour);
// A film of the frames (kind 3 from a file, 0 from the card): the strip in a map at the
// display's depth, masks from the transparent colour. The strip goes into the film; 0 when the
// film cannot be made (the strip is freed either way).
Handle MakeStripFilm(FrameStrip* strip, bool fromFile);
// A movie film of the file: one frame, the movie's box, anchored at its centre. 0 or an error.
int MakeMovieFilm(const char* path, Handle* film);

// ---- CardGrab_win.cpp ----
// The grab of a frame from the card as it shows: rectangle, or lasso by the shape chosen, or
// with Control held at the press the area of the colour under the mouse. False when nothing was
// captured (an empty area, the capture taken away, Escape pressed).
bool GrabCardFrame(bool lasso, FrameStrip* out);
