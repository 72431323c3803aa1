// What the performer of actions asks of the layers above it: the media, LoomLogo, the
// transitions, the card navigation, the download queue and the host's programs and addresses.
// The wiring step fills it whole (host/wiring/WireUpper_win.cpp); until then, and for what it
// leaves out, every call gives the nothing-result of a program without that neighbour.
//
//   ActionNeighbours_win.cpp   the one record, its defaults
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

struct ActionNeighbours {
    // The download queue keeps the button about to run (id, byClick) so that an action waiting
    // for a file can run again once the file has arrived.
    void (*buttonStarting)(uint16_t buttonId, uint32_t byClick);
    // Media: a stored sound (fromFile 0, the resource id) or the sound file of slot 2 played
    // with the chunk's flags and volume; the movie of a video chunk opened and shown for the
    // owner (1 when a movie element was opened); one pass of the wait (the controllers' idle
    // time) answering whether the owner's movie is done or absent; finished elements removed
    // when the wait ends; a stored videodisc action performed; the videodisc player settled
    // before a program is launched.
    void (*playSound)(int fromFile, int16_t resourceId, uint32_t flags, int volume);
    int (*openMovie)(std::span<const uint8_t> videoChunk, int16_t objectId);
    int (*idleMovieDone)(int16_t objectId);
    void (*removeFinishedMedia)();
    void (*videodiscAction)(HWND window, std::span<const uint8_t> chunk);
    void (*settleVideodisc)();
    // LoomLogo: runs the script, or opens it for editing when edit is set; non-zero when it was
    // edited, with the editor's rectangle in *rect (the script handle then holds the new text).
    int (*runLogo)(HWND window, Handle script, int edit, Rect32* rect);
    // The host: addresses, programs (slot 9 the program, slot 15 the document), and the stack's
    // menu bar shown or hidden for a script (toggled only when the frame has no menu, or
    // always with always set; true when it was toggled).
    bool (*openUrl)(const char* text);
    int (*launchProgram)(uint16_t launchOption);
    bool (*toggleStackMenuBar)(bool always);
    // Navigation: leaving the current card, and the moves to a special destination or a card
    // id of this stack (next, previous, home, back, last marked; a missing card: alert 2223).
    void (*leaveCard)(bool withHistory);
    void (*moveToDestination)(int16_t destination, int transition, int effect, int speed);
    // Transitions: the colour and centre of the coming transition, and the QuickTime effect
    // state's current record and captured image let go.
    void (*transitionLook)(COLORREF color, POINT centre);
    void (*freeEffectState)();
};

void SetActionNeighbours(const ActionNeighbours& neighbours);
const ActionNeighbours& Neighbours();
