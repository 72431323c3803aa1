// Find Text from the Edit menu (207), which the find request shares: the dialog or a search
// again, the search, and the match shown on its card, selected in its field
// (FindTextCommand_win.cpp; the search itself is objects/text/FindText_win.h).
#pragma once

#include <windows.h>

#include "objects/text/FindText.h"

// From the shortcut with Shift (not Alt) and a search text kept, a search again from just
// after the last match; otherwise the dialog first. Alert 2201 when nothing matches. 0, or 48
// when there is no find state.
int DoFindTextCommand(HWND window, Handle currentCard, bool fromShortcut);
// The match's card shown (the current card's field editing ended instead when it is there),
// and the match selected in its field; false when the field has no window.
bool ShowFoundText(const FoundText& found);
