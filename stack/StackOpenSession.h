// The open stack as every part of the stack sees it: its header and next object id, the card
// list, the current card, its name and the home stack.
#pragma once

#include <cstdint>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"

// Header (host order, 128 bytes) of the open stack; 0 when none.
Handle GetStackHeaderHandle();
void SetStackHeaderHandle(Handle header);  // disposes an earlier one

// Whether the open stack keeps its texts in Mac Roman: the rule its reader applied (header flag
// 0x10, or the stack recognised as Mac-made by its first colour table), which its resource file
// keeps. Every text path that converts stored text asks this.
bool OpenStackTextIsMacRoman();

// Card list: AddCardRecord, GetCardByIndex, CountCards, GetCardId, DisposeCards (CardList.h).
bool IsStackOpen();

uint16_t GetCurrentCardId();
void SetCurrentCardId(uint16_t id);

// The header's next object id (+12), which is then incremented (past 65535 to 1); 0 when no
// stack is open.
uint16_t NewUniqueObjectId();
// An id taken for a new object that was then cancelled is given back, when it is still the
// last one taken: a cancelled new object leaves the header as it was.
void ReturnUniqueObjectId(uint16_t id);

inline constexpr int kStringUntitled = 2502;
inline constexpr int kStringHomeStackNames = 2804;  // up to an entry beginning with '*'

// Which open stack something belongs to. The file name alone does not tell (two sites' "index.stk",
// two unsaved "Untitled"): every stack opened, made or closed starts a new session, and the
// stack's file path, when it has one, names the same stack read again from its file.
struct StackIdentity {
    uint32_t session;
    char path[kFileSpecPathSize];  // empty while the stack has no file
};
StackIdentity CurrentStackIdentity();
// The same session, or the same file (paths equal but for letter case), the file a session was
// last saved to counting as its own.
bool SameStack(const StackIdentity& a, const StackIdentity& b);
// The open stack's session has just been saved to the file slot 1 names.
void NoteStackSavedToItsFile();
inline bool IsCurrentStack(const StackIdentity& stack) { return SameStack(stack, CurrentStackIdentity()); }

// The stack's file name as shown in the title, and the home stack.
const char* GetStackName();
void StoreStackName(const char* name);
uint16_t GetHomeCardId();
void SetHomeCardId(uint16_t id);
bool IsHomeStackKnown();
void SetHomeStackKnown(bool known);

// ---- StackOpenSession_win.cpp ----
// Whether a name is one of the home stack's names (strings 2804 on).
bool IsHomeStackName(const char* name);
// The open stack, when it has a home stack's name, becomes the home stack (slot 13).
void RememberHomeStack();
// The name stored and the card window's title brought up to date; "Untitled" for a new stack.
void SetStackName(const char* name);
void SetStackNameFromDefault();
