// The one reader of stack files, and the one opening sequence: the plug-in, the stack
// report tool and the fuzzers all run ReadStackFile. Every length, count and offset that the
// file gives is checked before it is used; a record that fails is never read past its end:
//   - a header that is not plausible refuses the stack (alert 2268); then, in this order, a
//     black and white stack (2256), cards below the minimum size (the question 2334, which
//     may refuse), a version above 5 (2221) or below 4 (2222);
//   - a card that fails its checks, a resource area that does not lie whole in the file, or a
//     lack of memory refuses the stack with alert 2305, and nothing of it stays;
//   - an object or chunk that fails inside a card is left out and logged in the drops;
//   - resource data that does not convert is kept as stored (the entry is raw).
// Bytes come through a ByteSource, so the same code reads a file, a download or a test buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/ByteSource.h"
#include "format/StackFile.h"

inline constexpr int kStackRefused = -12;  // the result when an alert refuses the stack

// What opening asks of whoever opens the stack.
struct StackOpenQuestions {
    int minCardWidth = 40;   // the system's minimum window size, each at least 40
    int minCardHeight = 40;
    // Asked (alert 2334) when the card size is below the minimum: false refuses the stack.
    // Without it the stack goes on, as when the person answers Yes.
    bool (*confirmSmallCards)(void* context) = nullptr;
    void* context = nullptr;
};

struct StackReadResult {
    int error = 0;        // 0, or kStackRefused (alertId says which alert the person sees)
    int alertId = 0;
    std::string reason;   // the check that failed, for reports and tests
    bool askedSmallCards = false;  // the card size was below the minimum: 2334 was asked
    bool ok() const { return error == 0; }
};

struct StackFileContents {
    Handle header = 0;                  // 128 bytes, host order
    std::vector<Handle> cards;          // host order, in file order
    std::vector<uint32_t> cardOffsets;  // file offset of each card
    std::vector<uint32_t> cardLengths;  // its length in the file
    Handle resFile = 0;                 // the resource area, a ResFile record not yet linked
    DropLog drops;
};

// Reads, converts and checks the header (the plausibility test only): a new 128-byte handle.
StackReadResult ReadStackHeader(ByteSource& source, StackConversion& cv, Handle* header);
// Reads one card record at offset: checked, converted, in a new handle; *length is its length
// in the file (the next card's offset is offset + *length).
StackReadResult ReadCardRecordAt(ByteSource& source, uint32_t offset, StackConversion& cv,
                                 Handle* card, uint32_t* length, DropLog* drops);
// The whole opening sequence: header and its refusals, every card, the resource area (whose
// data converts with cv as the cards left it). On failure nothing is left allocated.
StackReadResult ReadStackFile(ByteSource& source, StackConversion& cv, StackFileContents& contents,
                              const StackOpenQuestions& questions = {});
void DisposeStackFileContents(StackFileContents& contents);

// What the reader saw, as JSON: stack/cards/StackDescribe.h.
