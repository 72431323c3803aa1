// Opening a stack file: the header is read and checked, the user is told why a file is
// refused, the card records are read into the card list and the resource area is opened.
// Either the whole stack opens or nothing of it stays: a file that is refused or that fails
// to read leaves no stack open, and the failure is reported once.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"
#include "format/StackFile.h"
#include "format/StackReader.h"
#include "stack/StackOpenSession.h"  // the stack's name and home

inline constexpr uint32_t kCardRecordsStart = kStackHeaderBytes;
inline constexpr int kAlertNoSamplesStack = 2292;

// Platform-free steps (StackOpen.cpp), over the stack reader (StackReader.h).
// Whether the header's card size is below the minimum (host-order header).
bool CardSizeBelowMinimum(std::span<const uint8_t> header, int minWidth, int minHeight);
// One card of a stack file without opening it: the header is read and checked (`*notAStack`
// when it is no stack: -12), depth, version and card count are returned; versions other than
// 4 and 5 give 16. The record whose id equals `cardId` or whose 1-based place equals
// `position` is read into a new handle in host order; 16 when there is none, -1 when a record
// on the way cannot be read.
int ReadStackCardFrom(ByteSource& source, uint16_t cardId, int position, StackConversion& cv, int16_t* depth,
                      int16_t* version, int16_t* cardCount, Handle* card, bool* notAStack);

// The procedures (StackOpen_win.cpp).
// The stack file of slot 1 read whole: the open stack closed, the read one bound and its
// settings applied, with no card entered yet (the player's OpenStack enters the first). A file
// that cannot be read is reported once and leaves no stack open.
int LoadStackFile();
// The stack file named read whole before the open stack is let go: on failure (alert shown) the
// open stack and its card stay as they were; on success it becomes the current stack's file
// (slot 1) and the stack is open, with no card entered yet.
int LoadOtherStackFile(const FileSpec& stack);
int ReadStackCard(int slot, uint16_t cardId, int position, int16_t* depth, int16_t* version,
                  int16_t* cardCount, Handle* card);
int EnforceMinimumCardSize(Handle header);
// The minimum card size: the system's minimum window size, each at least 40.
void GetMinimumCardSize(int* width, int* height);
