// Card import from a stack file in the memory file system into an opened stack.
#include <gtest/gtest.h>

#include <set>

#include "core/memory/ByteReader.h"
#include "stack/StackUpcalls.h"
#include "authoring/cards/CardImport.h"
#include "authoring/AuthoringUpcalls.h"
#include "authoring/cards/ReadyMade.h"
#include "stack/StackOpenSession.h"
#include "tests/stack/SaveTestUtil.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

using namespace savetest;
namespace sb = stackbuilder;

constexpr char kOpenPath[] = "C:\\Work\\open.stk";
constexpr char kSourcePath[] = "C:\\Loom\\RdyMCard\\three.stk";

struct ImportLog {
    std::vector<std::pair<std::string, int>> reports;
    std::vector<uint16_t> wentTo;
    std::vector<uint32_t> alerts;
    int opened = 0;
    bool fresh = false;
    std::string openedPath;
};
ImportLog& Log() {
    static ImportLog log;
    return log;
}

std::vector<uint8_t> SoundData() { return {1, 2, 3, 4, 5, 6}; }

sb::Stack OpenStack() {
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cards[0].objects.push_back(sb::Button(1, {1, 1, 20, 20}, "Mine"));
    s.nextObjectId = 2;
    s.resources.push_back({"Snd ", 128, "mine", 0, 0, {9, 9, 9, 9}});
    s.resources.push_back({"Actn", 400, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, "mine"))});
    return s;
}

// Three cards: a picture card whose id collides, a group card of it, a plain card whose id
// collides too, with a graphic action and a card action.
sb::Stack SourceStack() {
    sb::Stack s;
    sb::Card owner = sb::PictureCard(2, sb::SolidPicture(512, 384, 8, 3));
    sb::Object player = sb::Button(1, {10, 10, 60, 30}, "Play");
    player.words.push_back({20, 0x04});
    sb::Chunk sound;
    sound.kind = 83;
    sound.words.push_back({16, 128});
    player.chunks.push_back(sound);
    owner.objects.push_back(player);
    sb::Card group = sb::SharedCard(5, 2);
    sb::Card plain = sb::PlainCard(1);
    sb::Object graphic = sb::Graphic(1, {5, 5, 40, 40}, "G");
    graphic.words.push_back({56, 400});
    plain.objects.push_back(graphic);
    plain.actions = {401, 0, 0};
    s.cards = {owner, group, plain};
    s.resources.push_back({"Snd ", 128, "ding", 0, 0, SoundData()});
    s.resources.push_back({"Actn", 400, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, "theirs"))});
    s.resources.push_back({"Actn", 401, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, "card"))});
    return s;
}

class CardImportTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        Log() = ImportLog{};
        saved_ = GetStackUpcalls();
        savedEdit_ = GetAuthoringUpcalls();
        AuthoringUpcalls n = savedEdit_;
        n.stackIsFresh = [] { return Log().fresh; };
        n.openInsteadOfImport = [](const char* path) {
            ++Log().opened;
            Log().openedPath = path;
            return 0;
        };
        n.showImportedCards = [](uint16_t id, const char* name, int count) {
            Log().wentTo.push_back(id);
            if (count)
                Log().reports.push_back({name, count});
        };
        SetAuthoringUpcalls(n);
        savedUi_ = GetUiOps();
        UiOps ui = savedUi_;
        ui.showAlert = [](uint32_t id) {
            if (id != kAlertReadyMadeFailed)
                return SavedAlert()(id);
            Log().alerts.push_back(id);
            return 1;
        };
        SavedAlert() = savedUi_.showAlert;
        SetUiOps(ui);
        Open(kOpenPath, sb::BuildStack(OpenStack()).bytes);
    }
    void TearDown() override {
        SetStackUpcalls(saved_);
        SetUiOps(savedUi_);
        SetAuthoringUpcalls(savedEdit_);
        SaveSessionTest::TearDown();
    }
    int Import(const sb::Stack& source, const char* path = kSourcePath) {
        PutMemoryFile(path, sb::BuildStack(source).bytes);
        return ImportCardsFromStack(path);
    }
    static std::vector<uint16_t> CardIds() {
        std::vector<uint16_t> ids;
        for (int i = 1; i <= CountCards(); ++i)
            ids.push_back(GetCardId(GetCardByIndex(i)));
        return ids;
    }
    static uint16_t Word(Handle card, uint32_t offset) { return GetHandleWord(card, offset); }
    using AlertProc = int (*)(uint32_t);
    static AlertProc& SavedAlert() {
        static AlertProc alert = nullptr;
        return alert;
    }

    StackUpcalls saved_{};
    UiOps savedUi_{};
    AuthoringUpcalls savedEdit_{};
};

TEST_F(CardImportTest, ThreeCardsLandBehindTheCurrentCardWithFreshIds) {
    EXPECT_EQ(Import(SourceStack()), 3);
    // 2 collides (next id 3), 5 is free (the counter passes it), 1 collides (next id 6).
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 3, 5, 6, 2}));
    EXPECT_EQ(Word(GetStackHeaderHandle(), kHeaderNextCardId), 7);
    // The group card follows its imported owner; the card after the run keeps its own.
    EXPECT_EQ(Word(FindCardById(5), kCardBackgroundId), 3);
    EXPECT_EQ(Word(FindCardById(2), kCardBackgroundId), 0);
    ASSERT_EQ(Log().reports.size(), 1u);
    EXPECT_EQ(Log().reports[0], (std::pair<std::string, int>{"three.stk", 3}));
    EXPECT_EQ(Log().wentTo, (std::vector<uint16_t>{3}));
    EXPECT_EQ(ImportCountText("You have imported ", 3, " cards from the stack ", "three.stk"),
              "You have imported 3 cards from the stack three.stk");

    // Every object id of the stack is unique, and imported objects took new ones.
    std::multiset<uint16_t> objectIds;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        HandleLock lock(card);
        CardObjectWalk walk(lock.bytes());
        for (ObjectPlace place; walk.Next(place);)
            objectIds.insert(place.id);
    }
    EXPECT_EQ(objectIds.size(), 3u);
    EXPECT_EQ(std::set<uint16_t>(objectIds.begin(), objectIds.end()).size(), 3u);

    const StackResFileCurrent current;
    // The graphic's action and the card's action point at resources carried in under new ids.
    Handle plain = FindCardById(6);
    uint32_t offset = 0;
    HandleLock lock(plain);
    const std::span<const uint8_t> record = lock.bytes();
    CardObjectWalk walk(record);
    ObjectPlace graphic;
    ASSERT_TRUE(walk.Next(graphic));
    offset = graphic.offset;
    const uint16_t graphicAction = GetU16(record, offset + 56);
    EXPECT_NE(graphicAction, 400);
    EXPECT_NE(GetResource(ResType("Actn"), graphicAction), Handle{0});
    const uint16_t cardAction = GetU16(record, kCardAction1);
    EXPECT_NE(cardAction, 0);
    EXPECT_NE(GetResource(ResType("Actn"), cardAction), Handle{0});
    EXPECT_NE(cardAction, graphicAction);
    // The open stack's own resources are untouched.
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Snd "), 128)), (std::vector<uint8_t>{9, 9, 9, 9}));
}

TEST_F(CardImportTest, StoredSoundFollowsTheRemap) {
    ASSERT_EQ(Import(SourceStack()), 3);
    const Handle owner = FindCardById(3);
    HandleLock lock(owner);
    const std::span<const uint8_t> record = lock.bytes();
    CardObjectWalk walk(record);
    ObjectPlace button;
    ASSERT_TRUE(walk.Next(button));
    ButtonChunkWalk chunks(record.subspan(button.offset, button.length));
    ObjectPlace chunk;
    ASSERT_TRUE(chunks.Next(chunk));
    const uint16_t sound = GetU16(record, button.offset + chunk.offset + 16);
    EXPECT_NE(sound, 128);
    const StackResFileCurrent current;
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Snd "), sound)), SoundData());
}

TEST_F(CardImportTest, OneCardAtTheNextIdMovesTheCounterAndReportsNothing) {
    sb::Stack source;
    source.cards = {sb::PlainCard(3)};  // the open stack's next card id
    EXPECT_EQ(Import(source), 1);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 3, 2}));
    EXPECT_EQ(Word(GetStackHeaderHandle(), kHeaderNextCardId), 4);
    EXPECT_TRUE(Log().reports.empty());
    // An older stack gives its cards its own card size.
    sb::Stack old;
    old.version = 4;
    old.cardWidth = 320;
    old.cardHeight = 200;
    old.cards = {sb::PlainCard(40)};
    old.cards[0].width = 100;
    old.cards[0].height = 100;
    SetCurrentCardId(1);
    ASSERT_EQ(Import(old, "C:\\Loom\\old.stk"), 1);
    const Handle card = FindCardById(40);
    ASSERT_NE(card, Handle{0});
    EXPECT_EQ(Word(card, kCardWidth), 512);  // fitted to the open stack afterwards
}

TEST_F(CardImportTest, FreshStackOpensTheChosenOneAndDamagedSourcesInsertNothing) {
    Log().fresh = true;
    PutMemoryFile(kSourcePath, sb::BuildStack(SourceStack()).bytes);
    ImportCardsFromStack(kSourcePath);
    EXPECT_EQ(Log().opened, 1);
    EXPECT_EQ(Log().openedPath, kSourcePath);
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_STRNE(path, kSourcePath) << "the open stack's file stays named until it may go";

    Log().fresh = false;
    std::vector<uint8_t> damaged = sb::BuildStack(SourceStack()).bytes;
    damaged.resize(200);
    PutMemoryFile(kSourcePath, damaged);
    EXPECT_EQ(ImportCardsFromStack(kSourcePath), 0);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2}));
}

TEST_F(CardImportTest, ReadyMadeIdsStayInTheirRangeAndPathsFit) {
    ClearReadyMadeList();
    EXPECT_TRUE(AddReadyMadeEntry("C:\\R\\a.stk", 503));
    EXPECT_TRUE(AddReadyMadeEntry("C:\\R\\b.stk", 599));
    EXPECT_FALSE(AddReadyMadeEntry("C:\\R\\c.stk", 600));
    EXPECT_FALSE(AddReadyMadeEntry(std::string(256, 'x'), 504));
    EXPECT_EQ(FindReadyMadePath(599), "C:\\R\\b.stk");
    EXPECT_EQ(FindReadyMadePath(504), "");
    EXPECT_EQ(CountReadyMadeEntries(), 2);
    EXPECT_TRUE(IsReadyMadeStackName("a.stk"));
    EXPECT_TRUE(IsReadyMadeStackName("a.STK"));
    EXPECT_FALSE(IsReadyMadeStackName(".stk"));
    EXPECT_FALSE(IsReadyMadeStackName("a.Stk"));
    EXPECT_EQ(ImportCountText("You have imported ", 3, " cards ", std::string(600, 'n').c_str()).size(), 499u);
    EXPECT_EQ(LookupIdPair(5, 0, nullptr), 0);
    const IdPair pairs[] = {{2, 3}, {5, 5}, {2, 9}};
    EXPECT_EQ(LookupIdPair(2, 3, pairs), 3);
    EXPECT_EQ(LookupIdPair(7, 3, pairs), 0);
    FreeReadyMadeList();
}

}  // namespace
