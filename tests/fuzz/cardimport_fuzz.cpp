// Fuzz target of card import: any bytes as the ready-made stack imported into an opened stack.
//
// Invariants checked beyond the sanitizers:
//   - the stack keeps its own cards in their order, with the imported ones between them;
//   - every card id and every object id of the stack is unique afterwards;
//   - no handle and no open file is left behind once the stack is closed.
#include <set>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzOpenStack.h"
#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/CardImport.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/open/NewStack.h"
#include "stack/StackOpenSession.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

constexpr size_t kMaxInput = 1 << 18;
constexpr char kOpenPath[] = "C:\\Stacks\\Open.stk";
constexpr char kSourcePath[] = "C:\\Loom\\RdyMCard\\Fuzz.stk";

std::vector<uint8_t> OpenStackBytes() {
    namespace sb = stackbuilder;
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cards[0].objects.push_back(sb::Button(1, {1, 1, 20, 20}, "Mine"));
    s.nextObjectId = 2;
    s.resources.push_back({"Snd ", 128, "", 0, 0, {9, 9, 9, 9}});
    s.resources.push_back({"Actn", 400, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, ""))});
    return sb::BuildStack(s).bytes;
}

bool Open(const std::vector<uint8_t>& bytes) { return OpenFuzzStack(kOpenPath, bytes) != FuzzOpen::NoStack; }

void Close() { CloseFuzzStack(); }

void CheckUniqueIds() {
    std::set<uint16_t> cards, objects;
    size_t objectCount = 0;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        cards.insert(GetCardId(card));
        HandleLock lock(card);
        CardObjectWalk walk(lock.bytes());
        for (ObjectPlace place; walk.Next(place); ++objectCount)
            objects.insert(place.id);
    }
    FuzzCheck(cards.size() == static_cast<size_t>(CountCards()));
    FuzzCheck(objects.size() == objectCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    static const std::vector<uint8_t> openStack = OpenStackBytes();
    UseMemoryFileSystem();
    const int handles = MemRefsCount();
    if (!InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr))
        return 0;
    FuzzCheck(Open(openStack));
    PutMemoryFile(kSourcePath, std::vector<uint8_t>(data, data + size));
    const int imported = ImportCardsFromStack(kSourcePath);
    FuzzCheck(imported == -1 || CountCards() == 2 + imported);
    FuzzCheck(GetCardId(GetCardByIndex(1)) == 1 && GetCardId(GetCardByIndex(CountCards())) == 2);
    CheckUniqueIds();
    Close();
    FreeFolderTable();
    FuzzCheck(MemRefsCount() == handles && OpenMemoryFileCount() == 0);
    return 0;
}
