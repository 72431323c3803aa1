// What the icon and cursor chooser reads and lays out (IconFiles.cpp; platform-free): icon and
// cursor files from disk (.ico, .cur, RIFF 'ACON' .ani) into the data its grid keeps, the grid's
// cells and the steps of animated cursors. Every size and count from a file is checked against
// the file before it is used; a file that does not fit is refused whole.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/ui/CursorImages.h"

// Kinds of the chooser's entries.
inline constexpr uint16_t kEntryStillCursor = 1;
inline constexpr uint16_t kEntryAnimatedCursor = 2;
inline constexpr uint16_t kEntryIcon = 256;
inline constexpr int kMaxChooserEntries = 1000;

// A file's data as the grid keeps it: ICO bytes (icons), a cursor file (still cursors) or 'Crsr'
// data in memory order (animated cursors). kind 0: refused.
struct IconFileData {
    uint16_t kind = 0;
    std::vector<uint8_t> data;
};
// `extension` without its dot, any case: "ico", "cur" or "ani".
IconFileData ReadIconFile(std::string_view extension, std::span<const uint8_t> file);
// A RIFF 'ACON' file as animated 'Crsr' data (memory order), one frame per step: empty when it
// lacks the icon flag or frames, or a chunk, count or frame does not fit.
std::vector<uint8_t> ReadAnimatedCursorFile(std::span<const uint8_t> file);
// The data a stored 'Crsr' gives the grid: a still one's cursor file, an animated one as it is.
IconFileData CursorResourceEntry(std::span<const uint8_t> crsr);

// The image id of a module's cursor group that best fits width by height (its height counted
// halved), then the deepest not above `depth`, else the shallowest above it; 0 when none.
uint16_t BestGroupCursorId(std::span<const uint8_t> group, int width, int height, int depth);
// A one-image cursor file made from a module's cursor image (u16 hot spot x and y, then the
// image); empty when the image does not fit.
std::vector<uint8_t> CursorFileFromModuleImage(std::span<const uint8_t> image);

// The grid's cells: the picture size plus margins of 10 pixels and an even share of the width
// left over.
struct IconGridLayout {
    int cellWidth = 0, cellHeight = 0;
    int marginX = 0, marginY = 0;
    int columns = 1, rows = 0, visibleRows = 1;
};
IconGridLayout LayoutIconGrid(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight, int entries);

// One tick of an animated cursor in the grid: true when its step moved on (the cell is redrawn).
bool AdvanceCursorStep(const CursorResource& cursor, uint32_t* step, uint32_t* ticks);
