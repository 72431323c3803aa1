// The controls of the path options as plain state (PathOptions.cpp): read from a sprite header in
// memory, written back on OK. No Windows code.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

// How the object moves: the three radio buttons.
enum PathMove : int { kMoveTimesPerSecond = 0, kMoveRecordedSpeed = 1, kMoveEndToEnd = 2 };
// The recorded-speed choices in the order of their combo box.
enum PathSpeed : int { kSpeedQuarter = 0, kSpeedHalf, kSpeedFull, kSpeedDouble, kSpeedTriple };
// The layer choices in the order of their combo box.
enum PathLayer : int { kLayerChoiceBottom = 0, kLayerChoiceAny, kLayerChoiceTop };
// An end button's state: where the object starts shows kEndBegin; the other end what it does
// on arriving there.
enum PathEnd : int { kEndBegin = 0, kEndStop = 1, kEndReverse = 2, kEndLoop = 3 };

struct PathOptionsState {
    int move = kMoveTimesPerSecond;
    uint32_t timesPerSecond = 0;
    uint32_t seconds = 1;
    int speed = kSpeedFull;
    int layer = kLayerChoiceAny;
    int begin = kEndBegin;  // the first point's button
    int end = kEndStop;     // the last point's button
    bool startHere = false;
    bool startHereEnabled = false;
    bool pathless = false;  // step kind 0: nothing to choose about the direction
    // Mirror toggles at the turns: at the first point (the Begin group) and the last (End).
    bool flipBeginH = false, flipBeginV = false, flipEndH = false, flipEndV = false;
    bool floatGoing = false, dontEraseGoing = false;
    bool floatReturning = false, dontEraseReturning = false;
};

// The state of the controls from the header. keptEnd is the End button's state kept from the
// last opening, used when the path has no direction yet.
PathOptionsState ReadPathOptions(Handle sprite, int keptEnd);
// Writes the header from the state (OK).
void WritePathOptions(Handle sprite, const PathOptionsState& state);

// The end that is not the start (the Begin button with "Start here" on).
int ActivePathEnd(const PathOptionsState& state);
// The Returning boxes and the active group's mirror toggles count only while that end comes
// back.
bool ReturningEnabled(const PathOptionsState& state);
bool BeginTogglesEnabled(const PathOptionsState& state);
bool EndTogglesEnabled(const PathOptionsState& state);
// A click on an end button (true: the End button): the active one cycles Stop, Reverse, Loop;
// the one showing Begin does nothing. True when something changed.
bool ClickPathEnd(PathOptionsState* state, bool endButton);
// "Start here" switched: the active state and the mirror flags move to the other end.
void SetPathStartHere(PathOptionsState* state, bool on);
