// Effect records of QuickTime effect transitions as 'QTFX' resources of the open stack (the
// record and its bytes: cardview/transitions/QtEffectRecord.h). The wiring hands these to the
// effect state (QtEffectStorage, QtEffectState.h).
#pragma once

#include <cstdint>

#include "cardview/transitions/QtEffectRecord.h"
#include "format/StackFile.h"


// The record of resource id (above 0); without a readable one the default "dslv" record. The
// description comes from the resource when it holds one, else from "QTDATA". The record's id
// is the resource's.
void LoadQTEffectRecord(QtEffectRecord* record, int16_t id);
// Stores the record (its description fetched first when missing) as a 'QTFX' resource: under
// id when above 0, else under the record's id, else under a new one. The id used (written back
// into the record), or 0 when nothing could be stored. The card is marked changed.
int16_t WriteQTEffectRecord(QtEffectRecord* record, int16_t id);
// PackQTEffectRecord: a new handle of the resource bytes; 0 when out of memory.
Handle PackQTEffectRecord(QtEffectRecord* record);
