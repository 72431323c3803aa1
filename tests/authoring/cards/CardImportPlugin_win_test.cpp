// A ready-made stack chosen by its menu command in the hosted plug-in: its cards land behind the
// current card, the report is shown; "About this Card" names and marks one; the saved stack keeps
// the name and every card and object id unique.
#include <set>

#include <gtest/gtest.h>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "host/menus/MenuCommands.h"
#include "resources/info_ids.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/ReadyMadeMenu.h"
#include "format/StackReader.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;

class ReadyMadeInPlugin : public LinkedPluginTest {};

TEST_F(ReadyMadeInPlugin, ChosenStackLandsBehindTheCurrentCard) {
    sb::Stack open;
    open.cardWidth = 200;
    open.cardHeight = 150;
    open.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    open.cards[0].objects.push_back(sb::Button(1, {1, 1, 30, 30}, "Mine"));
    open.nextObjectId = 2;
    ASSERT_TRUE(Open(open));

    char folder[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotProgram, sizeof folder, folder);
    SetPathFileName("RdyMCard", folder, sizeof folder);
    CreateDirectoryA(folder, nullptr);
    const std::string stackPath = std::string(folder) + "\\three.stk";
    sb::Stack three;
    three.cardWidth = 320;
    three.cardHeight = 240;
    three.cards = {sb::PlainCard(1), sb::PlainCard(2), sb::PlainCard(7)};
    three.cards[1].objects.push_back(sb::Button(1, {5, 5, 50, 25}, "Two"));
    ASSERT_TRUE(sb::WriteFile(stackPath, sb::BuildStack(three).bytes));
    BuildReadyMadeMenu(nullptr);

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("RMCOUNT"), [](DialogView& box) {
        EXPECT_EQ(box.Text(RMCOUNT_TEXT), "You have imported 3 cards from the stack three.stk");
        box.Press(IDOK);
    });
    EXPECT_TRUE(driver.Run([&] { return DoMenuCommand(page.embed, 503, 0, nullptr); }));
    std::vector<uint16_t> ids;
    for (int i = 1; i <= CountCards(); ++i)
        ids.push_back(GetCardId(GetCardByIndex(i)));
    EXPECT_EQ(ids, (std::vector<uint16_t>{1, 3, 4, 7, 2}));
    EXPECT_EQ(GetCurrentCardId(), 3);
    const std::vector<uint8_t> card = HandleToBytes(FindCardById(4));
    EXPECT_EQ(GetU16(card, kCardWidth), 200) << "fitted to the open stack";

    // "About this Card" on the first imported card: a name and Marked, OK.
    DialogDriver about;
    about.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "About Card - 2");
        box.SetText(INF_CARD_NAME, "Welcome");
        box.SetChecked(INF_CARD_MARKED, true);
        box.Press(IDOK);
    });
    EXPECT_TRUE(about.Run([&] { return DoMenuCommand(page.embed, 301, 0, nullptr); }));

    {
        StackFileContents contents;
        ASSERT_TRUE(SaveAndReadBack(&contents));
        std::set<uint16_t> cardIds, objectIds;
        size_t objects = 0;
        for (Handle c : contents.cards) {
            cardIds.insert(GetCardId(c));
            HandleLock lock(c);
            CardObjectWalk walk(lock.bytes());
            for (ObjectPlace place; walk.Next(place); ++objects)
                objectIds.insert(place.id);
        }
        EXPECT_EQ(cardIds.size(), 5u);
        const std::vector<uint8_t> named = HandleToBytes(contents.cards[1]);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&named[kCardName + 1]), named[kCardName]), "Welcome");
        EXPECT_EQ(GetU16(named, kCardFlags) & 0x80, 0x80);
        EXPECT_EQ(objects, 2u);
        EXPECT_EQ(objectIds.size(), 2u);
        DisposeStackFileContents(contents);
    }
    CloseLinkedPlugin(&page);
    DeleteFileA(stackPath.c_str());
    RemoveDirectoryA(folder);
}

}  // namespace
