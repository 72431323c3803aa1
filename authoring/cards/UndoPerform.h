// Undo: reverses the present step (stack/undo/Undo.h keeps the step and its recorders). The
// paint selections and object layers it hands data back to lie above the stack, hence here.
#pragma once

// The Undo command; afterwards the card window is invalidated and the magnified view refreshed.
void PerformUndo(void* cardWindow);
