// Extension modules: the one parameter block, the module cache, the calls made to a stack's
// modules at fixed moments, and the module information records (the module interface itself
// is NbaInterface.h).
//
//   NbaInfo.cpp          safe file names, the information record, the timer clock
//   NbaModules_win.cpp   the block, the cache, call records, named modules, the calls
//   NbaResources_win.cpp reading a module's information, 'NBAs' resources a stack lacks
//   NbaMenu_win.cpp      the Extras menu: modules and registry programs (NbaMenu.h)
//   NbaChooser_win.cpp   the chooser dialog "NBA" (NbaChooser.h)
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/NbaEvents.h"
#include "actions/NbaInterface.h"
#include "core/memory/Handles.h"

inline constexpr int kNbaCacheEntries = 20;
// No module of the stack's could be found.
inline constexpr uint32_t kAlertNoNbas = 2241;
inline constexpr uint16_t kNbaCallDisposeData = 0x0001;

// ---- NbaModules_win.cpp ----
// The one block every call uses.
NbaParamBlock* GetNbaParamBlock();
// Zeroes the block and stores the host callback in it.
void ClearNbaParamBlock();
NbaHostCallback GetHostCallback();
// The host's request entry the block carries to modules (host/wiring/WireUpper_win.cpp installs
// it; until then, and for null, requests do nothing).
void SetHostCallback(NbaHostCallback callback);

// Calls the module named by slot's file with the message: messages 1 and 3 load and free the
// library around the call, the others take it from the cache. The module's answer, 0 when it
// was not called.
int RunNBAModule(int slot, int message, uint16_t nbaId, bool clearFirst);
// Calls the module named by the resource (type, id): 'NBAs' resources of the stack, or the
// module found for the id. Nothing while the chooser is open, except messages 3 and 15.
void CallNBAByResource(uint32_t type, uint16_t nbaId, int message, bool clearFirst);
void SendToNBA(uint16_t nbaId, int message, bool clearFirst = false);
// Browse mode: offers a card-window message to the modules; 1 when one consumed it.
int ForwardMessageToNBAs(HWND window, UINT message, uint16_t wParam, LPARAM lParam);
// Message 14 to every module: true while one answers kNbaKeepWaiting.
bool PollNBAsForWait();
// The stack closes: message 2 to its modules (all of them when final) and the cache freed;
// final also drops the named modules.
void EndStackNBAs(bool final);

// The cache of loaded modules: the module of the id (loading slot's file on a miss). `cached`
// says whether it went into the cache; an uncached module is the caller's to free.
HMODULE FindCachedNBAModule(int slot, uint16_t nbaId, bool* cached = nullptr);
void FreeCachedNBAModules(int unload);
int CachedNBAModuleCount();

// Calls in progress: the 'NBAs' data of a module stays alive until its call returns.
bool PushNBACall(Handle data, uint16_t nbaId);
void PopNBACall(uint16_t nbaId);
bool IsNBACallActive(uint16_t nbaId);
bool IsAnyNBACallActive();

// The chooser's window while it is open (only messages 3 and 15 reach modules then).
void SetNbaChooserWindow(HWND window);
HWND GetNbaChooserWindow();

// ---- NbaResources_win.cpp ----
// The 'NBAs' resource of the id in the current resource file, else a named module's
// information, made from string 50000 + id or the "NBAIDs" preference when needed; 0 when none.
Handle GetNbaResource(uint32_t type, uint16_t nbaId);
// Information of the module file in slot 12 (alert 2241 when it is no library, unless quiet);
// 0 when none. Lookups made for a stack are quiet: they happen on every call and at opening.
Handle LoadNbaInfo(bool quiet = false);
// The request of an 'NBAs' resource for the module of slot 12: 1 when made.
int MakeNbaResourceRequest();
// A stack just read: an 'NBAs' resource for every module its actions use and it lacks.
void AddMissingNbaResources();
// Puts "<program folder>NBAS\<name>" into slot 12; false for an unsafe name.
bool PutNbaFileInSlot(const char* name);
// The named modules (modules used without an 'NBAs' resource of their id), newest first.
Handle FindNamedNbaModule(uint16_t nbaId);
void ForEachNamedNbaModule(void (*visit)(uint16_t nbaId));
void DisposeNamedNbaModules();
