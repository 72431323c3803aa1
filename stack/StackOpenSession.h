// The open stack as far as opening it needs: its header, the card list, the current card, its
// name and the home stack. A minimal form until the card list and navigation modules own this
// state; the names are theirs.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"
#include "stack/open/NewStack.h"  // NewStackHeader

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

// The stack's file name as shown in the title, and the home stack.
const char* GetStackName();
void StoreStackName(const char* name);
uint16_t GetHomeCardId();
void SetHomeCardId(uint16_t id);
bool IsHomeStackKnown();
void SetHomeStackKnown(bool known);
