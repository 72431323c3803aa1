// The shared tracker of a rectangle on the card window: the user moves and resizes it while a
// preview bitmap follows, through a card-window mouse hook; a press outside the rectangle ends
// it and runs the completion (called, or as the dialog procedure of a named dialog).
#pragma once

#include <windows.h>

using TrackCompletion = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct TrackState {
    RECT* rect = nullptr;         // the caller's tracked rectangle; null while no tracking runs
    HBITMAP* preview = nullptr;   // the caller's preview variable: deleted and cleared at the end
    TrackCompletion completion = nullptr;
    const char* dialogName = nullptr;
    int moveOnly = 0;             // every handle moves the whole rectangle
    int handle = 0;               // 0 none, 1-8 corners and edges, 9 move
    POINT last = {};
    int idle = 1;                 // no button held since the start or the last release
    int status = 0;               // 1 at the start and at the end; callers may use it
    HWND window = nullptr;        // the card window while tracking runs
};

// Draws the preview into the rectangle and installs the hook; 0 (nothing drawn, status 0) when
// the hook stack is full.
int BeginObjectResizeTracking(RECT* rect, HBITMAP* preview, TrackCompletion completion, const char* dialogName,
                              int moveOnly);
// The hook: 512 move, 513 left down, 514 left up; nonzero when the message was consumed.
int TrackResizeCallback(unsigned message, HWND__* window, int x, int y);
// The tracked rectangle's fields; the result is the idle flag. Any output may be null.
int ReadTrackState(RECT* rect, POINT* point, int* handle, int* status);
// Each non-null input sets its field; the rectangle is copied into the caller's tracked one.
void SetTrackState(const int* idle, const RECT* rect, const POINT* point, const int* handle, const int* status);
// The whole state, for the periodic frame and tests.
const TrackState& CurrentTrackState();
