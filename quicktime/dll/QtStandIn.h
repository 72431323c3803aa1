// Inside QuickTime.qts, our stand-in for QuickTime for Windows: the dispatcher's table of
// selectors and the state the calls share. Only quicktime/QuickTime.h crosses the library's
// edge; movie, sound, picture and effect calls come with the code that uses them, each as one
// row of the table in QtStandIn.cpp.
//
//   QtStandIn.cpp     the dispatch table, start and end, the version answer (neutral)
//   QtDll_win.cpp     the library's entry and its three exports
//   QtStandInEffects.cpp  the video effects (QtStandInEffects.h; _win: frames, parameter dialog)
//   QuickTime.def     the exports
#pragma once

#include <cstdint>

#include "quicktime/QuickTime.h"

inline constexpr int32_t kQtUnimplemented = -4;           // unimpErr: a selector not in the table
inline constexpr int32_t kQtGestaltUndefined = -5551;     // a Gestalt selector we do not answer
inline constexpr int32_t kQtNotInitialized = -2093;       // a movie call before InitializeQTML
inline constexpr int32_t kQtStandInVersion = 0x03508000;  // 3.5

// The stand-in's dispatcher: the selector's row of the table, or kQtUnimplemented.
int32_t StandInDispatch(uint32_t selector, const QtWord* args);
// The component calls: no components exist yet.
int32_t StandInComponentCall(void* storage, const void* params, QtWord what);

// For tests: whether InitializeQTML has run without its TerminateQTML, and EnterMovies without
// ExitMovies.
bool StandInInitialized();
bool StandInMoviesEntered();
