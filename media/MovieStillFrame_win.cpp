// Movie elements on a card and their still frames (see MovieStillFrame.h).
#include "media/MovieStillFrame.h"

void ShowAllMovies() {}
void UpdateAllMovies(HDC, const RECT&) {}
void DrawMovieStill(std::span<const uint8_t> /*videoChunk*/, HDC) {}
