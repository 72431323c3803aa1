// The one guard of the editors (EditorGuard.cpp). While an object's dialog, the actions dialog
// and its card walk, a chooser, the sound deck, the movie options, the crop, a placing or hook
// loop or the path recorder runs, the edit holds on to the card and the stack it works on. The
// rule is what may run meanwhile: the editor's own work, painting, media that plays and what only
// reads. Everything else that would change the stack, a card, an object, a layer or the tool (a
// module's writing request, a menu command, a tool change, a timer's action, a download's
// effect, a move, a save, an open or a jump) asks this one door with its scope, and is kept and
// done, in the order asked, once the last editor has ended and the card window's tick comes.
// Work kept with the card's scope is done only while that card is still shown; work that needs
// only the stack (Save, Open, a jump, a stack that arrived) while that stack is still open.
#pragma once

#include <cstdint>
#include <functional>

// Entered by each editor for as long as it runs; nests.
class EditorGuard {
public:
    EditorGuard();
    ~EditorGuard();
    EditorGuard(const EditorGuard&) = delete;
    EditorGuard& operator=(const EditorGuard&) = delete;
};

// The editor's own move (the card walk's arrows and keys, its destination, the stack it opens,
// its return): moves, opens and jumps it makes pass while the scope lives.
class EditorOwnMove {
public:
    EditorOwnMove();
    ~EditorOwnMove();
    EditorOwnMove(const EditorOwnMove&) = delete;
    EditorOwnMove& operator=(const EditorOwnMove&) = delete;
};

// What held work needs, and so when it runs and when it waits.
enum class HeldScope {
    kCard,     // a move or command on the card shown: the editor's own pass; done only on that card
    kStack,    // needs only the stack (Save, Open, a jump): the editor's own pass; done on that stack
    kOutside,  // from outside the editor (a module's request, a download's effect, a timer): waits
               // even during the editor's own moves; done only on the card it was asked on
};

// Whether work of that scope must wait now.
bool EditorHolds(HeldScope scope);
// The one door: while work of that scope must wait, keeps it for later and says so (true); false
// and the caller goes on at once.
bool HoldUnderEditor(HeldScope scope, std::function<void()> work);
// Whether any editor runs, its own move or not: the card takes only the editor's input.
inline bool EditorRuns() { return EditorHolds(HeldScope::kOutside); }
// Whether the editor's own move runs now.
inline bool EditorMoves() { return EditorRuns() && !EditorHolds(HeldScope::kCard); }

// Where held work was asked: the open stack's session and the card shown. The stack layer tells
// the guard each time either changes.
void SetGuardPlace(uint32_t stackSession, uint16_t cardId);
// The same stack read again from its file (a walk's return to the file it had saved): its held
// work is still its own.
void KeepGuardStack(uint32_t oldSession, uint32_t newSession);

// Does what was held, oldest first, when no editor runs any more (a held move may itself be held
// again by a dialog its card opens); work whose stack or card is gone is dropped. The number done.
int RunHeldWork();
// What is held and not yet done; forgotten at shut-down.
int HeldWorkCount();
void DropHeldWork();
