// The stacks, pictures and points the walks through the test browser build and serve
// (WalkStacks_win.cpp); running them is BrowserRun_win.h's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"

namespace browsertest {

// Bytes as the text a server folder holds; a built stack's bytes.
std::string AsText(const std::vector<uint8_t>& bytes);
std::string Built(const stackbuilder::Stack& stack);
// A card of one colour: an 8-bit picture of palette index 1 (white first, then the colour, then
// the extra entries given).
stackbuilder::Card ColourCard(uint16_t id, stackbuilder::Rgb colour, int width = 160, int height = 120,
                              const std::vector<stackbuilder::Rgb>& extra = {});
// The stack built and served under a name of this process (ProcessUniqueName); that name.
std::string ServeStack(ServerFolder& server, const std::string& stem, const stackbuilder::Stack& stack);
// The demo stack served with its movie beside it; the stack's name.
std::string ServeDemo(ServerFolder& server);
// Two frames of a 20 by 10 strip along two points: a small stored animation.
std::vector<uint8_t> TwoFrameSpriteBytes();
// A picture of 4-pixel cells in the eight pure colours (exact on a palette display too), laid
// out so that no shift of a pixel repeats it: a crop that is off by one shows. The cell colour
// at a point, and a 64 by 48 picture of them as a 24-bit BMP file.
uint32_t CellColour(int x, int y);
inline constexpr int kCellPictureWidth = 64, kCellPictureHeight = 48;
std::string CellPictureBmp();
// From ms on: that picture file chosen from the Picture Source dialog and its cells' part
// (10,6)-(42,38) cut in the dialog of that title ("Graphic Objects", "Clip Art"), which then
// floats on the card.
std::vector<std::string> CellPictureCutAt(const std::string& path, const std::string& title, int ms);

}  // namespace browsertest
