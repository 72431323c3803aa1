// Host requests: extension modules and LoomLogo's stack primitives drive the stack through one
// entry. The caller writes a request code at +46 and its parameters from +50 into the one
// parameter block and calls `DispatchCallback`; the handler of the code writes its results
// back into the block, where they stay until the next request.
//
//   RequestTable.h           the one table: a row per code (handler, rule under an editor,
//                            argument keeper, answer while held), and the entry
//   RequestHold_win.cpp      requests kept under an editor, and their keepers
//   RequestHandlers.h        the handlers, one per code
#pragma once

#include <cstdint>
#include <cstring>

#include "actions/NbaInterface.h"

inline constexpr int kRequestCodeCount = 191;  // codes 0 to 190

using RequestHandler = void (*)(NbaParamBlock& b);

// The host callback the modules get (cdecl). It acts on the one block of the module calls,
// whatever address the caller passes.
void NBA_CDECL DispatchCallback(NbaParamBlock* caller);
// The do-nothing handler of codes old modules still send; also called directly.
void EmptyCallback(NbaParamBlock& b);

// The object reference of a request: card selector in the high word of [50], object id in its
// low word (0 = by the name at [58]), kind index in [54]. On success [50] is the record offset
// (or the 'Actn' id for kind indexes 5 to 10), [54] the record handle and [58] the selected
// card's handle; on failure all three are 0.
bool ResolveObjectRef(NbaParamBlock& b);
inline constexpr uint16_t kSelectByName = 65534;  // the high word of [50]: the card named at [62]
// Request 38 and the update after 26, 27, 32 and 34: redraws the resolved object when it lies
// on the current card and updates are not suppressed (requests 152, 170, 171).
void UpdateRequestedObject(NbaParamBlock& b);

// Handlers that call code which uses the block themselves (object updates, module calls) keep
// the caller's block around the call; the handler writes its results after `Restore`.
class SavedRequestBlock {
public:
    explicit SavedRequestBlock(NbaParamBlock& b) : block_(b) { std::memcpy(&saved_, &b, sizeof b); }
    void Restore() { std::memcpy(&block_, &saved_, sizeof saved_); }
    const NbaParamBlock& saved() const { return saved_; }

private:
    NbaParamBlock& block_;
    NbaParamBlock saved_;
};
