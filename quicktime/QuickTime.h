// QuickTime for Windows, bound at run time from "QuickTime.qts" and reached through one
// dispatcher with a numeric selector. The binding is reference-counted: the start-up check and
// the media manager each bind and release it. While unbound every call answers kQtNotBound.
//
//   QtBinding.cpp       the count, the entry points, the resolver and the calls (neutral)
//   QtBinding_win.cpp   finding and loading the library (process, program folder, system folder)
//   QtEffects.cpp       the video-effect calls (QtEffects.h; atom containers: QtAtoms.h)
//   QtCalls.cpp         every other call, one routine each (QtCalls.h; records: QtTypes.h);
//   QtComponentCalls.cpp  the movie controller's and graphics importer's component calls
//   dll/                our stand-in for the library itself, built as QuickTime.qts
//
// The library exports three entry points. The dispatcher takes a selector (manager group in the
// high 16 bits) and a pointer to the call's argument words, in the order the call declares them.
//
// Adding a call:
//   1. its selector in QtCallSelector (QtCalls.h);
//   2. a routine that passes its arguments on: `return QtCall(kQtSelFoo, {a, b})` (QtCalls.cpp);
//   3. in the stand-in, a row in the rows of its concern (dll/QtStandIn.h says which file).
#pragma once

#include <cstdint>
#include <initializer_list>

using QtErr = int16_t;
using QtWord = uintptr_t;  // one argument as the dispatcher receives it

inline constexpr QtErr kQtNoErr = 0;
inline constexpr QtErr kQtNotBound = -2095;      // 0xF7D1: a call made through the error entry
inline constexpr QtErr kQtMissingEntry = -2094;  // 0xF7D2: an entry point is missing
inline constexpr QtErr kQtCannotLoad = -2093;    // 0xF7D3: the library cannot be loaded

inline constexpr char kQtLibraryName[] = "QuickTime.qts";
inline constexpr char kQtEntryStorage[] = "_CallComponentFunctionWithStorage";
inline constexpr char kQtEntryComponent[] = "_CallComponent";
inline constexpr char kQtEntryDispatcher[] = "theQuickTimeDispatcher";

enum QtSelector : uint32_t {
    kQtSelInitializeQTML = 0x1D0008,
    kQtSelTerminateQTML = 0x1D0009,
    kQtSelGestalt = 0x110001,
    kQtSelEnterMovies = 0x20001,
    kQtSelExitMovies = 0x20002,
};

// The three entry points, as the library exports them.
extern "C" {
using QtDispatcherProc = intptr_t (*)(uint32_t selector, const QtWord* args);
using QtComponentProc = intptr_t (*)(void* storage, const void* params, QtWord what);
}

// What the binding needs of the system to find a library and its entry points; tests put
// their own here.
struct QtLibraryOps {
    void* (*load)();                                  // null when not found or refused
    void* (*resolve)(void* library, const char* name);  // null when missing
    void (*release)(void* library);
};
void SetQtLibraryOps(const QtLibraryOps& ops);
QtLibraryOps GetQtLibraryOps();
// The system's: "QuickTime.qts" loaded by LoadLibrary (QtBinding_win.cpp), which the wiring
// step installs.
QtLibraryOps SystemQtLibraryOps();

// Loads and initialises the library when the count is below 1 (kQtCannotLoad, kQtMissingEntry or
// InitializeQTML's error leave nothing loaded); otherwise counts up. 0 on success.
QtErr QTBind(uint32_t flags);
// Counts down; below 1 the library is terminated and freed and the error entries come back.
void QTRelease();
int QTBindCount();
bool IsQTBound();

// A call through the dispatcher (the resolver first while its slot is set). The answer is a
// result code, a count or an object of the library, so it is a word wide.
intptr_t QtCall(uint32_t selector, std::initializer_list<QtWord> args);

QtErr InitializeQTML(uint32_t flags);
void TerminateQTML();
// Gestalt ('qtim') answers the version: major and minor in the high 16 bits (0x0300 = 3.0).
QtErr Gestalt(uint32_t selector, int32_t* response);
QtErr EnterMovies();
void ExitMovies();

inline constexpr uint32_t kGestaltQuickTime = 0x7174696D;  // 'qtim'
