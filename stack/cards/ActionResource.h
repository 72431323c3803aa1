// The actions of a stack or card ("things to do when" arriving, leaving, clicking): action
// records kept as 'Actn' resources of the open stack, named by id words of the stack header
// (+72, +74, +78) and of card records (+48, +50, +52). An id of 0 means none.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"
#include "format/StackFile.h"

// An empty action record is a bare button header.
inline constexpr uint32_t kEmptyActionRecordBytes = kButtonHeaderBytes;

// A new empty action record for the id: 136 zeroed bytes with its kind (53), id, length and
// the default words set; 0 when memory runs out.
Handle NewEmptyActionRecord(uint16_t id);
// A copy of 'Actn' id of the open stack, or a new empty record when id is 0 or it is missing.
Handle LoadActionResource(uint16_t id);
// Stores a copy of the record as 'Actn' *id (a fresh id from NewUniqueObjectId when 0); the
// id the stack actually used is written into word 1 of the record and into *id. 1, or 0.
int StoreActionResource(uint16_t* id, Handle record);
// keep: the record is stored under *newId; else 'Actn' *oldId is removed and *newId cleared.
// Nothing when either pointer is missing.
void SetOrDropActionResource(Handle record, uint16_t* oldId, uint16_t* newId, bool keep);
// Whether a movable block of that size could be had now (it is freed at once).
bool CanAllocateMemory(uint32_t size);
