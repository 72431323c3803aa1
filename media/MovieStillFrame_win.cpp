// What the card redraw asks of the media layer: movie elements shown over the card, updated in
// an object's area, and a movie's still frame drawn at the start. MINIMAL until the media
// manager plays movies: there are no movie elements and no still is drawn.
#include "graphics/card/CardRedrawNeighbours.h"

namespace {

void ShowAllMovies() {}
void UpdateAllMovies(HDC, const RECT&) {}
void DrawMovieStill(std::span<const uint8_t> /*videoChunk*/, HDC) {}

const bool g_installed = [] {
    CardRedrawNeighbours n = GetCardRedrawNeighbours();
    n.showMediaElements = ShowAllMovies;
    n.updateMediaElements = UpdateAllMovies;
    n.drawMovieStill = DrawMovieStill;
    SetCardRedrawNeighbours(n);
    return true;
}();

}  // namespace
