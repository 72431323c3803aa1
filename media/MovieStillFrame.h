// What the media layer does when a card is shown: its movie elements shown over the card,
// updated in an object's area (the card redraw reaches these through CardRedrawUpcalls), and a
// movie's still frame drawn at its chunk's rectangle (a video chunk, tag 89, of an action block). MINIMAL until the media manager plays movies: there
// are no movie elements and no still is drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

void ShowAllMovies();
void UpdateAllMovies(HDC dc, const RECT& area);
void DrawMovieStill(std::span<const uint8_t> videoChunk, HDC dc);
