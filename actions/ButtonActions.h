// Performing a button's actions.
#pragma once

#include <windows.h>

#include <cstdint>

// Finds the button by id on the current card and performs its actions with the argument.
// MINIMAL until actions are performed: the start hook is told, the button's action record is
// read, and only its move to the destination is made (through the mover below); 1 when the
// button was found.
int DoButtonActions(HWND cardWindow, uint16_t buttonId, uint32_t argument);

// Told before a button's actions run (button id, argument): the download layer keeps them so
// that an action waiting for a file can run again once the file has arrived.
using ButtonActionsStartHook = void (*)(uint16_t buttonId, uint32_t argument);
void SetButtonActionsStartHook(ButtonActionsStartHook hook);

// Moves to an action's destination (a card id or a special destination) with its transition,
// effect value and speed; the card navigation installs it.
using DestinationMover = void (*)(int16_t destination, int transition, int effect, int speed);
void SetDestinationMover(DestinationMover mover);
