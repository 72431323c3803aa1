// Transition 29: a QuickTime video effect from the old card image to the new one. The effect
// chosen for a move is a 'QTFX' stack resource (QtEffectRecord.h), which the stack layer reads
// and writes through QtEffectStorage. The effects offered are the library's effects among the
// ten listed codes, numbered from 28 in the transition lists.
//
//   QtEffectRecord.cpp   the record and its resource bytes
//   QtEffectState.cpp    the effect state: current record, effect list, timing (QtEffectState.h)
//   QtEffect_win.cpp     capturing the old card, running an effect, the parameter dialog,
//                        "QTDATA" descriptions, filling list controls
#pragma once

#include <windows.h>

#include <memory>

#include "graphics/dib/Dib.h"
#include "cardview/transitions/QtEffectState.h"

struct TransitionContext;

// ---- QtEffect_win.cpp ----
// The program's "QTDATA" resource of that name as a new handle (0 when there is none), and the
// library's effect list: the sources of the effect state (QtEffectState.h).
Handle ModuleQtData(const std::string& name);
std::vector<uint8_t> FetchQtEffectList();
void QTFillEffectList(int first, HWND list);
bool QTEditEffectParams(HWND owner);
// The window's client area as the old card an effect plays from (CardMove::oldCard): a packed
// DIB in a movable global block, freed with the last copy of the move; null on failure.
std::shared_ptr<void> QTCaptureWindowImage(HWND window);
// The same of the old card rendered with its layers (a packed DIB, which the caller keeps);
// without one, of the window's client area, which shows the same card.
std::shared_ptr<void> QTCaptureCardImage(HWND window, DibHandle card);
// Plays the current effect into the transition's window from the move's old card to the new
// card, which is then shown whole.
bool QTRunTransitionEffect(const TransitionContext& transition, HBITMAP newCard);
