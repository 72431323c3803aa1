// What the walks build and serve (WalkStacks_win.h).
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/ProcessNames_win.h"

#include <windows.h>

namespace browsertest {

namespace sb = stackbuilder;

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Built(const sb::Stack& stack) { return AsText(sb::BuildStack(stack).bytes); }

sb::Card ColourCard(uint16_t id, sb::Rgb colour, int width, int height, const std::vector<sb::Rgb>& extra) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(width, height, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    card.picture->palette.insert(card.picture->palette.end(), extra.begin(), extra.end());
    return card;
}

std::string ServeStack(ServerFolder& server, const std::string& stem, const sb::Stack& stack) {
    const std::string name = ProcessUniqueName(stem, "stk");
    server.Put(name, Built(stack));
    return name;
}

std::string ServeDemo(ServerFolder& server) {
    const std::string name = ProcessUniqueName("demo", "stk");
    server.Put(name, Built(sb::DemoStack()));
    server.Put(sb::kDemoMovieName, AsText(sb::DemoMovie()));
    return name;
}

std::vector<uint8_t> TwoFrameSpriteBytes() {
    sb::Sprite s;
    s.number = 1;
    sb::Picture strip = sb::SolidPicture(20, 10, 8, 2);
    strip.palette = {{255, 255, 255}, {0, 0, 0}, {250, 200, 0}};
    s.film.strip = strip;
    s.film.frames = {{0, 0, 10, 10}, {10, 0, 20, 10}};
    s.path = {{40, 60, 30}, {120, 60, 30}};
    return sb::SpriteRecord(s);
}

uint32_t CellColour(int x, int y) {
    const int cx = x / 4, cy = y / 4, index = (cx * cx + 3 * cy + cx * cy + 1) % 8;
    return (index & 4 ? 0xFF0000u : 0) | (index & 2 ? 0x00FF00u : 0) | (index & 1 ? 0x0000FFu : 0);
}

std::string CellPictureBmp() {
    sb::Picture picture;
    picture.width = kCellPictureWidth;
    picture.height = kCellPictureHeight;
    picture.depth = 32;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(CellColour(x, y));
    return AsText(sb::BmpFile(picture));
}

std::vector<std::string> CellPictureCutAt(const std::string& path, const std::string& title, int ms) {
    std::vector<std::string> steps = PictureFileAt(path, ms);
    Append(steps, {"--dialog", title + "|101|drag:10,6-42,38" + At(ms + 1700), "--dialog", title + "|OK|press" + At(ms + 2300)});
    return steps;
}

}  // namespace browsertest
