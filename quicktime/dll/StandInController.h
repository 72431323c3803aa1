// The stand-in's movie controller (StandInController.cpp; _win: its 16-pixel bar drawn with GDI
// and the movie drawn through it): a movie shown in a rectangle of a port, with a play button
// and a time slider below it while it is visible.
#pragma once

#include <cstdint>
#include <memory>

#include "quicktime/dll/StandInMovies.h"

inline constexpr int32_t kStandInBarHeight = 16;

// The controller actions the stand-in knows.
enum StandInAction : int16_t {
    kStandInActionIdle = 1,
    kStandInActionDraw = 2,
    kStandInActionPlay = 8,
    kStandInActionGoToTime = 12,
    kStandInActionSetVolume = 14,
    kStandInActionGetVolume = 15,
    kStandInActionStep = 18,
    kStandInActionSetLooping = 21,
    kStandInActionGetLooping = 22,
    kStandInActionSetGrowBoxBounds = 25,
    kStandInActionSetKeysEnabled = 32,
    kStandInActionGetKeysEnabled = 33,
};

struct StandInController {
    QtWord movie = 0;
    uint32_t flags = 0;
    StandInBox rect;  // as given: the movie's place
    bool visible = true;
    bool keysEnabled = false;
    QtWord port = 0;
    QtWord clip = 0;       // regions given by MCSetClip (the caller's; not owned)
    QtWord movieClip = 0;
    StandInBox growBounds;
    StandInTime drawnTime = -1;  // the time the bar last showed
    bool drawnPlaying = false;
};

// A controller of a movie (which stays the caller's), its movie placed in the rectangle; null
// when the movie is not one of ours.
std::unique_ptr<StandInController> NewStandInController(QtWord movie, const StandInBox& rect, uint32_t flags,
                                                        QtWord port);
// The movie's box and the controller's bounds (the box and the bar below it while visible).
StandInBox StandInControllerBounds(const StandInController& c);
StandInBox StandInBarRect(const StandInController& c);
void PlaceStandInControllerMovie(StandInController* c);
// MCDoAction: kQtNoErr, or kQtParamErr for an action the stand-in does not know. `params`
// is the action's word: a value or a pointer, as the action has it.
int32_t StandInControllerAction(StandInController* c, int16_t action, QtWord params);
// A click at a point of the port (horizontal, vertical): true when the bar took it.
bool StandInControllerClick(StandInController* c, int32_t h, int32_t v);
// Moves the movie on; true when the bar should be drawn again.
bool StandInControllerIdle(StandInController* c);
// The bar's parts: the play button and the slider's thumb, in port coordinates.
StandInBox StandInBarButton(const StandInController& c);
StandInBox StandInBarThumb(const StandInController& c);
// Draws the movie's frame and, while visible, the bar into the port.
void DrawStandInController(StandInController* c);
// What draws the bar (StandInController_win.cpp installs GDI's); without one nothing is drawn.
using StandInBarPainter = void (*)(const StandInController& c, bool playing);
void SetStandInBarPainter(StandInBarPainter painter);
void InstallStandInBarPainter();

// The rows of NewMovieController and DisposeMovieController (StandInControllerRows.cpp); the
// controller component's calls go to its kind.
intptr_t DoNewMovieController(const QtWord* args);
intptr_t DoDisposeMovieController(const QtWord* args);
