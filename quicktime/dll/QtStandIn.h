// Inside QuickTime.qts, our stand-in for QuickTime for Windows. Only quicktime/QuickTime.h and
// the headers it names (QtCalls.h, QtTypes.h, QtEffects.h) cross the library's edge.
//
// Dispatch: each concern file defines its rows, a span of {selector, routine}, declared below;
// StandInDispatch walks the fixed list of those spans (QtStandInRows.cpp). Component calls go
// to the handler of the instance's kind (StandInComponentKind); the kinds are a second fixed
// list there. Adding a call adds a row to its concern's own file; a new concern adds one line
// to a list.
//
//   QtStandIn.cpp            start and end, the version answer, movies entered (neutral)
//   QtStandInRows.cpp        the lists of row spans and component kinds
//   QtStandInComponents.cpp  instances, OpenDefaultComponent, CloseComponent, the component call
//   QtStandInHandles.cpp     handles and pictures (QtStandInHandles.h)
//   QtStandInRegions.cpp     regions (rectangle lists from one-bit maps), MacOffsetRect
//   QtStandInFiles.cpp       NativePathNameToFSSpec and reading an FSSpec back
//   QtStandInPorts_win.cpp   window ports, the current port, WinEventToMacEvent (QtStandInPorts.h:
//                            the port record and what draws into ports)
//   QtStandInGWorlds_win.cpp graphics worlds over DIB sections, CopyBits and OpColor
//   QtStandInPixels.cpp      the copy and blend of CopyBits over pixel rows (neutral)
//   QtStandInImporter_win.cpp the graphics importer over WIC
//   QtStandInEffects.cpp     the video effects (QtStandInEffects.h; _win: frames, parameter dialog)
//   QtDll_win.cpp            the library's entry and its three exports
//   QuickTime.def            the exports
#pragma once

#include <cstdint>
#include <span>

#include "quicktime/QtCalls.h"
#include "quicktime/QuickTime.h"

inline constexpr int32_t kQtUnimplemented = -4;           // unimpErr: a selector not in the table
inline constexpr int32_t kQtGestaltUndefined = -5551;     // a Gestalt selector we do not answer
inline constexpr int32_t kQtNotInitialized = -2093;       // a movie call before InitializeQTML
inline constexpr int32_t kQtStandInVersion = 0x03508000;  // 3.5

// One call: the selector and the routine that answers it from the argument words (at least 16
// readable words, zero past what the caller gave).
struct StandInRow {
    uint32_t selector;
    intptr_t (*call)(const QtWord* args);
};

// The rows of each concern.
std::span<const StandInRow> StandInStartRows();
std::span<const StandInRow> StandInEffectRows();
std::span<const StandInRow> StandInComponentRows();
std::span<const StandInRow> StandInHandleRows();
std::span<const StandInRow> StandInRegionRows();
std::span<const StandInRow> StandInFileRows();
std::span<const StandInRow> StandInMovieRows();  // movies, tracks, media, sound movies, MIDI
#if defined(_WIN32)
std::span<const StandInRow> StandInPortRows();
std::span<const StandInRow> StandInGWorldRows();
std::span<const StandInRow> StandInImporterRows();
#endif

// A kind of component: its type, how a default instance is opened for a subtype (null when the
// kind opens none that way, or cannot), how its calls are answered and how its state goes.
struct StandInComponentKind {
    QtOSType type;
    void* (*openDefault)(QtOSType subType);
    intptr_t (*call)(void* state, int16_t what, const QtWord* params, int count);
    void (*close)(void* state);
};
std::span<const StandInComponentKind* const> StandInComponentKinds();
const StandInComponentKind* StandInControllerKind();      // the movie controller ('play')
const StandInComponentKind* StandInMovieImportKind();     // 'eat '
const StandInComponentKind* StandInMovieExportKind();     // 'spit'
#if defined(_WIN32)
const StandInComponentKind* StandInGraphicsImporterKind();  // 'grip'
#endif

// An instance of a kind over its state (which the kind's close frees); how creators such as
// NewMovieController and GetGraphicsImporterForFile hand out instances.
QtComponentInstance StandInNewInstance(const StandInComponentKind* kind, void* state);
// The state of a live instance of that kind; null for anything else.
void* StandInInstanceState(QtComponentInstance instance, const StandInComponentKind* kind);
int StandInOpenInstances();

// The stand-in's dispatcher: the selector's row, or kQtUnimplemented.
intptr_t StandInDispatch(uint32_t selector, const QtWord* args);
// A component call from its parameter block (the _CallComponent entries come here too).
intptr_t StandInComponentCall(void* storage, const void* params, QtWord what);

// For tests: whether InitializeQTML has run without its TerminateQTML, and EnterMovies without
// ExitMovies.
bool StandInInitialized();
bool StandInMoviesEntered();
