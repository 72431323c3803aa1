// The stacks, pictures and points the walks through the test browser build and serve
// (WalkStacks_win.cpp); running them is TestBrowserRun_win.h's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/TestBrowserRun_win.h"

namespace browsertest {

// Bytes as the text a server folder holds; a built stack's bytes.
std::string AsText(const std::vector<uint8_t>& bytes);
std::string Built(const stackbuilder::Stack& stack);
// A card of one colour: an 8-bit picture of palette index 1 (white first, then the colour, then
// the extra entries given).
stackbuilder::Card ColourCard(uint16_t id, stackbuilder::Rgb colour, int width = 160, int height = 120,
                              const std::vector<stackbuilder::Rgb>& extra = {});
// The time of a step: "@MS".
std::string At(int ms);
// The middle of a rectangle as the test browser takes a point ("X,Y").
std::string Centre(const stackbuilder::Rect& r);
// A walk's arguments on a clock (for a walk in order): each step at its time, the next a gap
// later; a held step waits for the nth showing of the window of that title, and the clock goes on
// from the step before.
struct TimedWalk {
    std::vector<std::string> args;
    int ms = 1200;
    void Step(const std::string& flag, const std::string& value, int gap) {
        Append(args, {flag, value + At(ms)});
        ms += gap;
    }
    void Held(const std::string& flag, const std::string& value, const std::string& title, int afterMs, int gap, int nth = 1) {
        Append(args, {flag, value + OnceShown(title, afterMs, nth)});
        ms += gap;
    }
    void Command(int id) { Step("--command", std::to_string(id), 500); }
    void Click(const stackbuilder::Rect& r) { Step("--click", Centre(r), 400); }
    void Key(const std::string& keys) { Step("--key", keys, 400); }
    void KeyInto(const std::string& title, const std::string& keys, int nth = 1) { Held("--key", keys, title, 300, 400, nth); }
    void Dialog(const std::string& title, const std::string& control, const std::string& action) {
        Step("--dialog", title + "|" + control + "|" + action, 400);
    }
    void Press(const std::string& title, const std::string& control) { Dialog(title, control, "press"); }
    void Cancel(const std::string& title) { Press(title, "Cancel"); }
};
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
