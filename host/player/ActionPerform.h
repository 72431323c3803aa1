// The performer's parts (ObjectActions.h is its entry): the handlers of the action bits, the
// wait after the actions and the move to the destination.
//
//   ObjectActions_win.cpp    PerformObjectActions: the bits in order, the move, the wait; one
//                            action alone (PerformOneAction)
//   ActionHandlers_win.cpp   sounds, movies and videodiscs, animations, addresses, programs
//   ActionScripts_win.cpp    extension modules and LoomLogo scripts, and whether the rest goes on
//   ActionWait_win.cpp       WaitAfterActions
//   StackJump_win.cpp        GoToActionDestination and GoToAnotherStack
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/events/ActionOrigin.h"
#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// What the started actions leave for the wait: an animation, a movie, a module call.
struct ActionMarks {
    int animation = 0;
    int movie = 0;
    int nba = 0;
};

// One performance: the record (its offset follows a performed button that moved), the owner
// and what the handlers set.
struct Performance {
    HWND window = nullptr;
    Handle record = 0;
    uint32_t offset = 0;
    uint16_t objectId = 0;
    ActionOrigin origin;
    ActionMarks marks;
    bool stop = false;
    int edited = 0;
};

// The move as the record held it when the performance began: an action may delete or resize
// the record before the move runs.
struct ActionMove {
    int16_t destination = 0;
    uint16_t transition = 0;
    uint16_t effect = 0;
    uint16_t speed = 0;
    uint16_t colorIndex = 0;  // stored plus one; 0 none
    Rect32 rect = {};
    bool otherStack = false;  // chunk 60 was there: its file entry follows
    std::vector<uint8_t> stackEntry;
};

// The chunk of the tag in the performed record, copied (empty when absent).
std::vector<uint8_t> CopyPerformedChunk(const Performance& p, uint16_t tag);

void PlayActionSound(const Performance& p, uint16_t bit);
void PlayActionMedia(Performance& p, uint16_t bit);
int PlayActionAnimation(const Performance& p);
void OpenActionUrl(const Performance& p);
void LaunchActionProgram(const Performance& p);
void RunActionNba(Performance& p);
void RunActionLogo(Performance& p);

void WaitAfterActions(const ActionMarks& marks, uint16_t objectId);

// Reads the move of the record; false when the record is not there.
bool ReadActionMove(Handle record, uint32_t offset, ActionMove* move);
void GoToActionDestination(const ActionMove& move, const ActionMarks& marks, uint16_t objectId);

// Set only while DoButtonActions runs: the handlers that may remove the button check it.
bool IsButtonRunning();
