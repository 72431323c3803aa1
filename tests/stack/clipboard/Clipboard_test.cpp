// Cards through the internal clipboard: pasting twice numbers the copies in turn, a sharing card
// taken to another stack brings its picture, Cut then Paste loses no picture, a locked card asks
// first, a commercial NBA stays behind; and packed DIBs from other programs are checked whole.
#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardDib.h"
#include "format/ResFile.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"
#include "stack/undo/Undo.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/MemoryFiles.h"

namespace {

using namespace cardtest;

constexpr int kWidth = 32, kHeight = 8;

sb::Stack Base() {
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    s.depth = 8;
    return s;
}

sb::Card Pictured(uint16_t id, uint32_t pixel) {
    sb::Card c = sb::PictureCard(id, sb::SolidPicture(kWidth, kHeight, 8, pixel));
    return c;
}

uint32_t PictureLength(Handle card) {
    const std::vector<uint8_t> bytes = HandleToBytes(card);
    return GetU16(bytes, kCardKind) == kCardKindPicture ? GetU32(bytes, kPictureBlockOffset + kBlockLength) : 0;
}

class ClipboardTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        ASSERT_TRUE(CreateUndoRecord());
    }
    void TearDown() override {
        ClearInternalClipboard();
        ClearClipboardFromThisStack();
        FreeUndoRecord();
        CardSessionTest::TearDown();
    }
};

TEST_F(ClipboardTest, PastingACardTwiceGivesEachCopyTheNextIdAndItsTextFollows) {
    sb::Stack s = Base();
    s.nextCardId = 4;
    s.nextObjectId = 50;
    s.cards = {Pictured(1, 3), Pictured(2, 5), Pictured(3, 7)};
    sb::Object text = sb::TextField(9, {1, 1, 20, 6}, "Note", "hello");
    text.subRecords[0].word2 = 2;  // the text of card 2
    s.cards[1].objects.push_back(text);
    Load(s);
    SetCurrentCardId(2);
    CopyCardToClipboard();
    ASSERT_EQ(Clip().kind, kClipCard);
    EXPECT_TRUE(Clip().cardFromThisStack);

    ASSERT_EQ(PasteCard(), 1);
    ASSERT_EQ(PasteCard(), 1);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2", "4", "5", "3"}));  // each after the current card
    EXPECT_EQ(GetCardCount(), 5);
    EXPECT_EQ(GetCurrentCardId(), 5);
    for (uint16_t id : {4, 5}) {
        const Handle copy = FindCardById(id);
        const auto objects = CardObjects(HandleToBytes(copy));
        ASSERT_EQ(objects.size(), 1u);
        EXPECT_EQ(GetU16(objects[0], 130), id) << "the text of the copy names the copy";
        EXPECT_GE(GetU16(objects[0], kObjectId), 50);
        EXPECT_EQ(PictureLength(copy), PictureLength(FindCardById(2)));
        ExpectSavable(copy);
    }
    EXPECT_NE(GetU16(CardObjects(HandleToBytes(FindCardById(4)))[0], kObjectId),
              GetU16(CardObjects(HandleToBytes(FindCardById(5)))[0], kObjectId));
    // The original still owns its text.
    EXPECT_EQ(GetU16(CardObjects(HandleToBytes(FindCardById(2)))[0], 130), 2);
}

TEST_F(ClipboardTest, ASharingCardPastedIntoAnotherStackTakesItsPicture) {
    sb::Stack a = Base();
    a.cards = {Pictured(1, 9), sb::SharedCard(2, 1)};
    sb::Object stay = sb::Button(5, {1, 1, 5, 5}, "Behind");
    stay.flags = kObjectBackground;
    a.cards[0].objects.push_back(stay);
    a.cards[1].objects.push_back(sb::Button(6, {6, 1, 9, 5}, "Own"));
    Load(a);
    const uint32_t holderPicture = PictureLength(FindCardById(1));
    ASSERT_GT(holderPicture, 0u);
    SetCurrentCardId(2);
    CopyCardToClipboard();
    DisposeCards();

    sb::Stack b = Base();
    b.cards = {sb::PlainCard(7)};
    Load(b);
    ClearClipboardFromThisStack();  // opening the other stack
    const bool hadFile = StackHasFile();
    SetStackHasFile(false);  // a new stack
    ASSERT_EQ(PasteCard(), 1);
    const Handle pasted = GetCurrentCardRecord();
    ASSERT_NE(pasted, 0);
    EXPECT_EQ(GetCardKind(pasted), kCardKindPicture);
    EXPECT_EQ(GetU16(HandleToBytes(pasted), kCardBackgroundId), 0);
    EXPECT_EQ(PictureLength(pasted), holderPicture);
    EXPECT_EQ(ObjectTags(pasted).size(), 2u);  // the holder's background object and its own
    ExpectSavable(pasted);
    // A new stack that was never changed gives up its one card for the copy.
    EXPECT_EQ(CountCards(), 1);
    EXPECT_EQ(GetCardCount(), 1);
    SetStackHasFile(hadFile);
}

TEST_F(ClipboardTest, CutCardThenPasteKeepsEveryPicture) {
    sb::Stack s = Base();
    s.cards = {Pictured(1, 4), sb::SharedCard(2, 1), Pictured(3, 6)};
    Load(s);
    MarkStackModified();
    SetCurrentCardId(1);
    CutCard();
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"-1", "2", "3"}));
    ASSERT_EQ(PasteCard(), 1);
    const uint16_t pastedId = GetCurrentCardId();
    EXPECT_NE(pastedId, 1) << "the cut card's id is still taken";
    EXPECT_EQ(GetCardKind(FindCardById(pastedId)), kCardKindPicture);

    RecordFlipUndo('U');  // the next step purges the cut card
    EXPECT_EQ(FindCardById(1), 0);
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        EXPECT_GT(PictureLength(ResolvePictureResource(card)), 0u) << "card " << GetCardId(card);
        ExpectSavable(card);
    }
    EXPECT_EQ(GetCardCount(), 3);
}

TEST_F(ClipboardTest, CuttingALockedCardAsksFirst) {
    sb::Stack s = Base();
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cards[1].flags = kCardLockedFlag;
    Load(s);
    SetCurrentCardId(2);
    Rec().answers = {2};  // No
    CutCard();
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertCardLocked});
    EXPECT_EQ(Clip().kind, kClipNone);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2"}));
    Rec().answers = {1};  // Yes
    CutCard();
    EXPECT_EQ(Clip().kind, kClipCard);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "-2"}));
    EXPECT_EQ(GetU16(HandleToBytes(Clip().record), kCardFlags) & kCardLockedFlag, 0);
}

TEST_F(ClipboardTest, ACommercialNbaWarnsAndStaysBehindWhileTheIconTravels) {
    ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
    MemoryFileSystemInUse files;
    constexpr char kPath[] = "C:\\Stacks\\Nba.stk";
    sb::Stack s = Base();
    s.cards = {sb::PlainCard(1)};
    sb::Object button = sb::Button(3, {1, 1, 9, 9}, "Module");
    button.words = {{20, 0x08}, {64, 0x10}, {78, 40}};
    sb::Chunk nba;
    nba.kind = 51;
    nba.words = {{16, 5}};
    button.chunks.push_back(nba);
    s.cards[0].objects.push_back(button);
    s.resources.push_back({"NBAp", 5, "", 0, 0, std::vector<uint8_t>(6, 1)});
    s.resources.push_back({"NBAs", 5, "", 0, 0, std::vector<uint8_t>(6, 2)});
    s.resources.push_back({"Icon", 40, "", 0, 0, std::vector<uint8_t>(8, 3)});
    const std::vector<uint8_t> bytes = sb::BuildStack(s).bytes;
    PutMemoryFile(kPath, bytes);
    SetFileSpecFromPath(kSlotCurrentStack, kPath);
    Load(s);
    const int32_t ref = OpenResFileAt(GetFileSpec(kSlotCurrentStack), GetBE32(bytes, kHeaderResourceOffset));
    ASSERT_NE(ref, 0);
    SetStackResFile(ref);

    CopyCardToClipboard();
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertCommercialNba});
    ASSERT_EQ(Clip().kind, kClipCard);
    std::vector<uint32_t> held;
    for (Handle h = Clip().held; h;) {
        HandleLock lock(h);
        const auto* copy = reinterpret_cast<const HeldResource*>(lock.get());
        held.push_back(copy->request.type);
        h = copy->next;
    }
    EXPECT_EQ(held, std::vector<uint32_t>{ResType("Icon")});

    ClearInternalClipboard();
    CloseAllResFiles();
    SetStackResFile(0);
    FreeFolderTable();
}

std::vector<uint8_t> Dib(int width, int height, int bits, uint32_t used = 0) {
    const uint32_t colors = bits <= 8 ? (used ? used : 1u << bits) : used;
    const uint32_t row = (static_cast<uint32_t>(bits) * width + 31) / 32 * 4;
    std::vector<uint8_t> d(40 + colors * 4 + row * static_cast<uint32_t>(height < 0 ? -height : height), 0);
    SetU32(d, 0, 40);
    SetU32(d, 4, static_cast<uint32_t>(width));
    SetU32(d, 8, static_cast<uint32_t>(height));
    SetU16(d, 12, 1);
    SetU16(d, 14, static_cast<uint16_t>(bits));
    SetU32(d, 32, used);
    return d;
}

TEST(ClipboardDib, EveryFieldIsCheckedAgainstTheBlock) {
    ClipboardDibLayout layout;
    std::vector<uint8_t> good = Dib(5, 3, 24);
    ASSERT_TRUE(CheckClipboardDib(good, &layout));
    EXPECT_EQ(layout.bitsOffset, 40u);
    EXPECT_EQ(layout.imageBytes, 48u);
    ASSERT_TRUE(CheckClipboardDib(Dib(7, -4, 8, 16), &layout));
    EXPECT_TRUE(layout.topDown);
    EXPECT_EQ(layout.height, 4);
    EXPECT_EQ(layout.bitsOffset, 40u + 64);

    std::vector<uint8_t> shortBlock = good;
    shortBlock.pop_back();
    EXPECT_FALSE(CheckClipboardDib(shortBlock, nullptr));
    const auto broken = [&](size_t offset, uint32_t value, int width) {
        std::vector<uint8_t> d = good;
        if (width == 2)
            SetU16(d, offset, static_cast<uint16_t>(value));
        else
            SetU32(d, offset, value);
        return !CheckClipboardDib(d, nullptr);
    };
    EXPECT_TRUE(broken(0, 12, 4));          // header size
    EXPECT_TRUE(broken(0, 0xFFFFFFF0, 4));
    EXPECT_TRUE(broken(12, 2, 2));          // planes
    EXPECT_TRUE(broken(14, 7, 2));          // bit count
    EXPECT_TRUE(broken(16, 1, 4));          // RLE8
    EXPECT_TRUE(broken(8, 0, 4));           // height
    EXPECT_TRUE(broken(4, 0x80000000u, 4)); // width
    EXPECT_TRUE(broken(8, 0x7FFFFFFF, 4));
    EXPECT_FALSE(CheckClipboardDib(Dib(4, 4, 8, 300), nullptr));  // colours beyond the depth
    EXPECT_FALSE(CheckClipboardDib(std::vector<uint8_t>(39, 0), nullptr));
}

}  // namespace
