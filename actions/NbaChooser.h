// The extension module chooser ("NBA"): the author picks the module of an NBA action from the
// samples stack, the current stack or a module file, and lets the module set up its data.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"

// Runs the chooser for the actions of the object objectId (the module's set-up is told it): 1
// when confirmed, with *data (a new handle, or 0) and *nbaId replaced; the caller's old data
// handle is then disposed of.
int RunNbaChooser(HWND parent, Handle* data, uint16_t* nbaId, uint16_t objectId);

// The side stacks: 0 opens the samples stack (made current) and closes the disk stack, 1
// closes both and makes the open stack's file current, 2 closes the samples stack only.
void UseSamplesStack(int mode);
void CloseSamplesStacks();
// The disk stack made current, opened again from the file in the slot when it is not open (a
// sound file is no stack); the samples stack closed. False when there is no such stack.
bool UseDiskStack(int slot);

// Sources of a three-way source choice: the samples, the stack in use, a file on disk.
enum MediaSource : int { kSourceSamples = 0, kSourceInUse = 1, kSourceDisk = 2 };
// Flags of SetMediaSourceRadio.
inline constexpr int kSourceAcceptModules = 1;  // a module file chosen from disk is taken unopened
// Switches *source to newSource: the disk runs the open dialog of the request, whose slot
// remembers the choice (a sound file, or with kSourceAcceptModules a module, is taken without
// opening it; any other file is opened as a resource file and becomes the disk stack); the stack
// in use needs an open stack. On failure the old source's radio is checked again and false
// comes back.
bool SetMediaSourceRadio(int* source, int newSource, int firstRadio, const FileRequest& request, int flags,
                         HWND dialog);
// Checks radio first + index of the three from first.
void CheckRadioRange(int firstId, int index, HWND dialog);
