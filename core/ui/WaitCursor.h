// The wait cursor while a long piece of work runs (WaitCursor_win.cpp). Waits nest: the cursor
// changes at the outermost begin, and the one it replaced comes back at the matching end.
#pragma once

void BeginWaitCursor();
void EndWaitCursor();  // an end without a begin does nothing

// A wait for one scope.
class WaitCursor {
public:
    WaitCursor() { BeginWaitCursor(); }
    ~WaitCursor() { EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
