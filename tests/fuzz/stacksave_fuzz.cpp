// Fuzz target of saving: a stack that reads is opened into the card list, saved once through
// the memory file system, and the saved file opened again. (That saving a saved stack writes the
// same bytes is the save tests' to show: here each input pays for one save.)
//
// Invariants checked beyond the sanitizers:
//   - a stack that opened saves, and the saved file reads as a stack;
//   - its resource area begins at 128 plus its card records, and its size is the total that the
//     statistics announced;
//   - no handle and no open file is left behind.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzOpenStack.h"
#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/open/NewStack.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 18;
constexpr char kPath[] = "C:\\Stacks\\Fuzz.stk";

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Opens bytes as the current stack; false when they are no stack.
bool Open(const std::vector<uint8_t>& bytes) {
    const FuzzOpen opened = OpenFuzzStack(kPath, bytes);
    if (opened == FuzzOpen::CardRefused)
        Broken("the card list cannot take a card");
    return opened == FuzzOpen::Opened;
}

void Close() { CloseFuzzStack(); }

// Saves the open stack and checks the file it wrote.
std::vector<uint8_t> SaveAndCheck() {
    if (SaveStack(kSlotCurrentStack, true) != kFileOk)
        Broken("a stack that opened does not save");
    std::vector<uint8_t> saved;
    if (!GetMemoryFile(kPath, saved) || saved.size() < kStackHeaderBytes)
        Broken("the saved file is missing");
    uint64_t cards = kStackHeaderBytes;
    const uint32_t count = uint32_t{saved[4]} << 8 | saved[5];
    for (uint32_t i = 0; i < count && cards + 6 <= saved.size(); ++i) {
        const size_t at = static_cast<size_t>(cards) + 2;
        cards += uint32_t{saved[at]} << 24 | uint32_t{saved[at + 1]} << 16 | uint32_t{saved[at + 2]} << 8 | saved[at + 3];
    }
    const uint32_t offset = uint32_t{saved[60]} << 24 | uint32_t{saved[61]} << 16 | uint32_t{saved[62]} << 8 | saved[63];
    if (offset != cards)
        Broken("the resource area does not begin where the cards end");
    // What the stack in memory now is: the statistics of a save after its purge.
    if (saved.size() != GetStackStatistics(nullptr))
        Broken("the file is not the size the statistics announced");
    return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    UseMemoryFileSystem();
    const int handles = MemRefsCount();
    if (!InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr))
        return 0;
    if (Open(std::vector<uint8_t>(data, data + size))) {
        const std::vector<uint8_t> saved = SaveAndCheck();
        Close();
        if (!Open(saved))
            Broken("a saved stack does not open");
    }
    Close();
    FreeFolderTable();
    if (MemRefsCount() != handles || OpenMemoryFileCount() != 0)
        Broken("a handle or a file is left behind");
    return 0;
}
