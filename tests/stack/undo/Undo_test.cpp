// The one undo step: painting toggles, a filter step goes after one undo, every kind frees what
// it owns exactly once, a step stays with its card, object steps find their object by kind and
// id, and a deleted card comes back until the next step purges it.
#include <map>

#include "core/ui/ToolNumbers.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/undo/Undo.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

// The offscreen as one byte string; GDI objects as numbers that count their deletions.
struct Fake {
    std::vector<uint8_t> picture;
    std::map<uint32_t, int> deleted;
    std::vector<std::string> calls;
};
Fake& F() {
    static Fake fake;
    return fake;
}

// Undo's upcalls and platform faked over the card session's.
StackUpcalls FakeUpcalls() {
    StackUpcalls n = GetStackUpcalls();
    n.restoreSnapshot = [](DibHandle snapshot) { F().picture = HandleToBytes(snapshot); };
    n.rebuildLayers = [] { F().calls.push_back("layers"); };
    return n;
}
StackPlatformOps FakePlatform() {
    StackPlatformOps n = GetStackPlatformOps();
    n.offscreenSnapshot = []() -> DibHandle { return NewHandleFromBytes(F().picture); };
    n.deleteGdiObject = [](uint32_t object) { ++F().deleted[object]; };
    return n;
}

class UndoTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        F() = Fake{};
        saved_ = GetStackUpcalls();
        SetStackUpcalls(FakeUpcalls());
        SetStackPlatformOps(FakePlatform());  // the card session puts the installed one back
        SelectToolNumber(7);
        savedHook_ = SetToolChangeHook([](uint32_t, uint32_t tool) { F().calls.push_back("tool " + std::to_string(tool)); });
        ASSERT_TRUE(CreateUndoRecord());
    }
    void TearDown() override {
        FreeUndoRecord();
        SetStackUpcalls(saved_);
        SetToolChangeHook(savedHook_);
        SelectToolNumber(kBrowseTool);
        CardSessionTest::TearDown();
    }
    StackUpcalls saved_{};
    ToolChangeHook savedHook_ = nullptr;
};

// What Undo does with the kinds that need only the stack (the paint selections and object moves
// are undone in authoring/cards, tested there).
void Undo() {
    if (UndoStepApplies())
        PerformRecordUndo(GetUndoKind());
}

sb::Stack ThreeCards() {
    sb::Stack s;
    s.cardWidth = 32;
    s.cardHeight = 8;
    for (uint16_t id = 1; id <= 3; ++id)
        s.cards.push_back(sb::PlainCard(id));
    sb::Object link = sb::Button(20, {1, 1, 9, 9}, "Go");
    link.words = {{20, 0x20}, {16, 2}};
    s.cards[0].objects.push_back(link);
    s.cards[2].objects.push_back(sb::Button(30, {2, 2, 8, 8}, "Edit me"));
    return s;
}

TEST_F(UndoTest, PaintingTogglesAndAFilterStepGoesAfterOneUndo) {
    Load(ThreeCards());
    F().picture = {1, 1, 1};
    RecordPaintUndo();
    ASSERT_EQ(GetUndoKind(), 0);
    EXPECT_EQ(GetUndoField(kUndoTool), 7u);
    F().picture = {2, 2, 2};  // the painting
    Undo();
    EXPECT_EQ(F().picture, (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(GetUndoCount(), 1);
    Undo();
    EXPECT_EQ(F().picture, (std::vector<uint8_t>{2, 2, 2}));  // the painting shows again
    EXPECT_TRUE(IsStackChanged());

    EXPECT_EQ(RecordFilterUndo('x'), 0);
    EXPECT_EQ(GetUndoKind(), 0);  // an unknown letter records nothing and keeps the step
    ASSERT_EQ(RecordFilterUndo('F'), 1);
    EXPECT_EQ(GetUndoKind(), 23);
    F().picture = {3};
    Undo();
    EXPECT_EQ(F().picture, (std::vector<uint8_t>{2, 2, 2}));
    EXPECT_EQ(GetUndoCount(), 0);  // cannot be redone
    Undo();
    EXPECT_EQ(F().picture, (std::vector<uint8_t>{2, 2, 2}));
    EXPECT_EQ(UndoKindStringId(0), 2702u);
    EXPECT_EQ(UndoKindStringId(36), 2723u);
    EXPECT_EQ(UndoKindStringId(37), 0u);
}

TEST_F(UndoTest, AStepStaysWithItsCardExceptADeletion) {
    Load(ThreeCards());
    F().picture = {9};
    RecordPaintUndo();
    F().picture = {8};
    SetCurrentCardId(2);
    Undo();  // the first card's picture must not land here
    EXPECT_EQ(F().picture, (std::vector<uint8_t>{8}));
    EXPECT_EQ(GetUndoCount(), 1);
    DiscardUndoOnLeavingCard();
    EXPECT_EQ(GetUndoCount(), 0);

    ASSERT_EQ(DeleteCardRecord(3, false), 1);
    DiscardUndoOnLeavingCard();  // a deletion lives on
    EXPECT_EQ(GetUndoKind(), 11);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2", "-3"}));
}

TEST_F(UndoTest, EveryKindFreesWhatItOwnsOnceAndASecondClearFreesNothing) {
    Load(ThreeCards());
    F().picture = {5, 5};
    const int baseline = MemRefsCount();
    const auto record = [](int kind) {
        const Handle data = NewHandle(8);
        switch (kind) {
        case 0: RecordPaintUndo(); DisposeHandle(data); break;
        case 1: RecordPaintUndoAt(3, 4); DisposeHandle(data); break;
        case 20: RecordFilterUndo('G'); DisposeHandle(data); break;
        case 36: RecordImportBackgroundUndo(static_cast<uint32_t>(data), 940); break;
        case 2: RecordSelectionUndo('d', static_cast<uint32_t>(data), 181, 221, 261, 1, 2); break;
        case 31: RecordSelectionUndo('U', static_cast<uint32_t>(data), 181, 221, 261, 1, 2); break;
        case 7: PushUndoByCommand('D', static_cast<uint32_t>(data), 781, 0, 0, 5, 5); break;
        case 32: PushUndoByCommand('X', static_cast<uint32_t>(data), 781, 0, 0, 5, 5); break;
        case 6: RecordSelectionMoveUndo('s', 0, 0, 4, 4, 782); DisposeHandle(data); break;
        case 14: RecordObjectEditUndoFor(kObjectButton, 30); DisposeHandle(data); break;
        case 27: SetUndoKindByLetterFor(kObjectButton, 30, 'U'); DisposeHandle(data); break;
        default: DisposeHandle(data); break;
        }
    };
    const std::map<int, std::vector<uint32_t>> owns = {
        {0, {}}, {1, {}}, {20, {}}, {36, {940}}, {2, {181, 221, 261}}, {31, {181, 221, 261}},
        {7, {781}}, {32, {781}}, {6, {782}}, {14, {}}, {27, {}}};
    for (const auto& [kind, objects] : owns) {
        F().deleted.clear();
        record(kind);
        ASSERT_EQ(GetUndoKind(), kind);
        ClearUndo();
        for (uint32_t object : objects)
            EXPECT_EQ(F().deleted[object], 1) << "kind " << kind << " object " << object;
        EXPECT_EQ(MemRefsCount(), baseline) << "kind " << kind;
        EXPECT_EQ(GetUndoField(kUndoSnapshot), 0u);
        EXPECT_EQ(GetUndoField(kUndoPalette), 0u);
        F().deleted.clear();
        ClearUndo();
        EXPECT_TRUE(F().deleted.empty()) << "kind " << kind << " freed twice";
        EXPECT_EQ(MemRefsCount(), baseline);
    }
}

TEST_F(UndoTest, ObjectStepsFindTheirObjectByKindAndId) {
    Load(ThreeCards());
    SetCurrentCardId(3);
    // An edit: the record comes back as it was.
    RecordObjectEditUndoFor(kObjectButton, 30);
    EXPECT_EQ(GetUndoKind(), 14);
    const std::vector<uint8_t> original = HandleToBytes(GetCardByIndex(3));
    Handle card = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 30, &card, &offset));
    {
        HandleLock lock(card);
        lock.get()[offset + kButtonName + 1] = 'X';  // the edit
    }
    ASSERT_NE(HandleToBytes(GetCardByIndex(3)), original);
    Undo();
    EXPECT_EQ(HandleToBytes(GetCardByIndex(3)), original);
    EXPECT_EQ(GetUndoCount(), 0);
    ClearUndo();

    // A deleted object comes back; after another step it is gone.
    RecordObjectDeleteUndo(kObjectButton, 20);
    ASSERT_TRUE(FindObject(kObjectButton, 20, &card, &offset));
    SetObjectFlags(card, offset, kObjectDeletedFlag, 0);
    Undo();
    EXPECT_EQ(ObjectTags(GetCardByIndex(1)), std::vector<std::string>{"20"});
    RecordObjectDeleteUndo(kObjectButton, 20);
    ASSERT_TRUE(FindObject(kObjectButton, 20, &card, &offset));
    SetObjectFlags(card, offset, kObjectDeletedFlag, 0);
    RecordFlipUndo('S');
    EXPECT_TRUE(ObjectTags(GetCardByIndex(1)).empty());
}

TEST_F(UndoTest, ADeletedCardComesBackUntilTheNextStep) {
    Load(ThreeCards());
    Rec().answers = {3};  // 2217: delete the linking button too
    ASSERT_EQ(DeleteCardRecord(2, true), 1);
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertButtonsLinkToCard});
    EXPECT_EQ(ObjectTags(GetCardByIndex(1)), std::vector<std::string>{"-20"});
    EXPECT_EQ(GetCardCount(), 2);
    ASSERT_EQ(GetUndoKind(), 11);
    EXPECT_EQ(GetUndoField(kUndoObjectKind, 2), 0u);

    Undo();
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(ObjectTags(GetCardByIndex(1)), std::vector<std::string>{"20"});
    EXPECT_EQ(GetCardCount(), 3);
    EXPECT_EQ(Rec().wentTo.back(), 2);
    EXPECT_EQ(GetUndoCount(), 0);

    SetCurrentCardId(1);
    DeleteCurrentCard(false);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"-1", "2", "3"}));
    F().picture = {1};
    RecordPaintUndo();  // another step: the deleted card goes for good
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(GetCardCount(), CountCards());
}

}  // namespace
