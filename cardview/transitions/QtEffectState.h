// The effect state of transition 29 (QtEffect.h): the current effect record, the listed
// effects and the effect timing, over the stack's 'QTFX' storage, the program's "QTDATA"
// descriptions and the library's effect list, each reached through a procedure that
// host/wiring/WireGraphics_win.cpp sets (the state itself builds without Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cardview/transitions/QtEffectRecord.h"
#include "quicktime/QtEffects.h"

// ---- QtEffectState.cpp ----
struct QtEffectListEntry {
    std::string name;  // at most 254 characters
    uint32_t code = 0;
};
// The listed effects of a library effect list: for each "name" atom (1 to their count) its name
// and "type"; entries whose type is one of the ten codes, in the library's order.
std::vector<QtEffectListEntry> ParseQtEffectList(std::span<const uint8_t> list);

// The state lives with the media manager, which makes and disposes of it; without it every
// query answers 0, -1 or false and transition 29 plays "Fastest".
void QTEffectStateInit();
void QTEffectStateDispose();
bool QTEffectStateExists();
// The current effect record let go (the next query takes the default one again); the state and
// its listed effects stay.
void QTReleaseCurrentEffectRecord();

// How 'QTFX' resources are read and written (LoadQTEffectRecord and WriteQTEffectRecord). Until
// they are set nothing is read (the default record) and nothing written (0).
struct QtEffectStorage {
    void (*load)(QtEffectRecord* record, int16_t id);
    int16_t (*write)(QtEffectRecord* record, int16_t id);
};
void SetQtEffectStorage(const QtEffectStorage& storage);

// Where effect descriptions come from: the program's "QTDATA" resource of that name, as a new
// handle (0 when there is none): ModuleQtData (QtEffect_win.cpp).
using QtDataSource = Handle (*)(const std::string& name);
void SetQtDataSource(QtDataSource source);
// GetQTEffectDescription: the "QTDATA" description of code and name, else of the code alone.
Handle GetQTEffectDescription(uint32_t code, std::string_view name);

bool QTSelectEffect(int16_t id);
int16_t QTGetCurrentEffectId();
// The current record (the default one when none was selected); null without the state.
QtEffectRecord* QTCurrentEffectRecord();
int16_t QTSaveEffectRecord(int16_t id, bool save);
void SetQTEffectNameAndCode(QtEffectRecord* record, std::string_view name, uint32_t code);
void QTSetEffectParams(int32_t timeScale, int32_t duration, int32_t frameCount, int32_t rate);
void QTSetEffectFromTransition(int listIndex);
// The list number (28 and up) of the effect of that name, case ignored; -1 when none.
int QTFindEffectByName(std::string_view name);
// The name of list number (28 and up) into the buffer; 0 when out of range, else 1.
int QTGetEffectName(int number, char* buffer, size_t size);
int QTEffectChoiceCount();
// The listed effects, fetched from the library once (FetchQtEffectList, QtEffect_win.cpp).
const std::vector<QtEffectListEntry>& QTListedEffects();
using QtEffectListFetcher = std::vector<uint8_t> (*)();
void SetQtEffectListFetcher(QtEffectListFetcher fetcher);
// The effect record's description bytes (fetched from "QTDATA" first when it has none).
std::vector<uint8_t> QtEffectDescriptionBytes(QtEffectRecord* record);
// NewQTImageDescription: the 86-byte description an effect of width x height is begun with.
QtImageDescription NewQTImageDescription(uint32_t code, int width, int height);
// The frame-time record of frame (1 ..) of an effect of the timing.
QtFrameTime QtEffectFrameTime(int frame, int32_t timeScale, int32_t duration, int32_t rate);
// Records disposing of their description handles.
void DisposeQtEffectRecord(QtEffectRecord* record);

// ---- QtEffectState_win.cpp ----
// Before a move with an effect: the current effect record let go, while the state stays the
// media manager's (the old card's image goes with the move that carries it).
void QTFreeEffectState();
