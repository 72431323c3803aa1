// Transition 29: a QuickTime video effect from the old card image to the new one. The effect
// chosen for a move is a 'QTFX' stack resource (QtEffectRecord.h), which the stack layer reads
// and writes through QtEffectStorage. The effects offered are the library's effects among the
// ten listed codes, numbered from 28 in the transition lists.
//
//   QtEffectRecord.cpp   the record and its resource bytes
//   QtEffectState.cpp    the effect state: current record, effect list, timing (QtEffectState.h)
//   QtEffect_win.cpp     the window as the old card, running an effect, the parameter dialog,
//                        "QTDATA" descriptions, filling list controls
#pragma once

#include <windows.h>

#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/QtEffectState.h"

struct TransitionContext;

// ---- QtEffect_win.cpp ----
// The program's "QTDATA" resource of that name as a new handle (0 when there is none), and the
// library's effect list: the sources of the effect state (QtEffectState.h).
Handle ModuleQtData(const std::string& name);
std::vector<uint8_t> FetchQtEffectList();
void QTFillEffectList(int first, HWND list);
bool QTEditEffectParams(HWND owner);
// The window's client area as the old card an effect plays from (CardMove::oldCard); empty on
// failure.
OldCardPicture OldCardOfWindow(HWND window);
// Plays the current effect into the transition's window from the move's old card to the new
// card, which is then shown whole.
bool QTRunTransitionEffect(const TransitionContext& transition, HBITMAP newCard);
