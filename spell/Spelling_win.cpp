// MINIMAL spelling checker (see Spelling.h).
#include "spell/Spelling.h"

void DoSpellCheckDialog(HWND) {}
