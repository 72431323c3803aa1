// The links a copy takes with it, over a stack open in the plug-in linked into this program: a
// field's links by the copy's id pairs and only where they still stand as a whole word, pointed
// at the copy's field; links of all fields unless the stack's file on disk holds the same one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "graphics/palette/PaletteRemap.h"
#include "objects/text/TextLinks.h"
#include "stack/format/ResFile.h"
#include "stack/format/StackFile.h"
#include "stack/open/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kField = 21;

sb::Resource Link(uint16_t id, uint16_t fieldId, const std::string& text) {
    const sb::Object go = sb::ShapedButton(0, {}, "", 0, 0, 2);
    std::vector<uint8_t> data = sb::LinkData(text, {}, &go);
    data[0] = id >> 8, data[1] = id & 0xFF;
    data[2] = fieldId >> 8, data[3] = fieldId & 0xFF;
    return {"Hlnk", id, text, 0, 0, data};
}

struct Held {
    std::string text;
    uint16_t fieldId;
};

// The held links of a chain, newest first; the chain is freed.
std::vector<Held> HeldLinks(Handle* chain) {
    std::vector<Held> links;
    for (Handle h = *chain; h;) {
        HeldResource held{};
        {
            HandleLock lock(h);
            std::memcpy(&held, lock.get(), sizeof held);
        }
        if (held.request.type == kHlnk) {
            HandleLock data(held.request.data);
            const std::optional<LinkFields> link = ReadLinkFields(data.bytes());
            if (link)
                links.push_back({std::string(link->text), link->fieldId});
        }
        h = held.next;
    }
    FreeResourceEntryChain(chain, true);
    return links;
}

TEST(TextLinksCopy, AFieldsLinksByItsPairsAndWordsAllFieldsLinksUnlessOnDisk) {
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 100;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(200, 100, 8, 1));
    card.objects = {sb::TextField(kField, {10, 10, 190, 60}, "Words", "a cat sat on the concat")};
    stack.cards = {card};
    stack.resources = {Link(101, kField, "cat"), Link(102, kField, "con"), Link(103, 0, "dog"), Link(104, 9, "cat")};
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "linkcopy-" + std::to_string(GetCurrentProcessId()) + ".stk", &page));

    // The copy's field 77 was field 21; "con" stands in no whole word of its text.
    const uint16_t pairs[] = {kField, 77, 9, 78};
    const Handle table = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(pairs), sizeof pairs});
    SetColorRemapTable(table, 2);
    Handle chain = 0;
    {
        StackResFileCurrent stackFile;
        GatherLinksForCopy(0, 77, &chain, false);
    }
    std::vector<Held> held = HeldLinks(&chain);
    ASSERT_EQ(held.size(), 2u) << "without a card no text is checked";
    EXPECT_EQ(held[0].text, "con");
    EXPECT_EQ(held[1].text, "cat");
    EXPECT_EQ(held[1].fieldId, 77) << "pointed at the copy's field";
    // With the card the field's text decides (the card's field is still 21 here: the pairs map it
    // to itself).
    const uint16_t same[] = {kField, kField};
    SetHandleBytes(table, {reinterpret_cast<const uint8_t*>(same), sizeof same});
    SetColorRemapTable(table, 1);
    {
        StackResFileCurrent stackFile;
        GatherLinksForCopy(GetCurrentCardRecord(), kField, &chain, false);
    }
    held = HeldLinks(&chain);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].text, "cat");
    SetColorRemapTable(0, 0);
    DisposeHandle(table);

    // A new link of all fields whose text has the length of the one on disk still travels.
    std::vector<uint8_t> action(kButtonHeaderBytes, 0);
    SetU16(action, kObjectKind, kActionRecordKind);
    SetU32(action, kObjectLength, kButtonHeaderBytes);
    const std::vector<uint8_t> record = BuildLinkRecord(0, 0, "cow", true, action);
    ResRequest request{};
    request.type = kHlnk;
    request.data = NewHandleFromBytes(record);
    request.flags = kResRequestCarryOut;
    ASSERT_TRUE(WriteStackResource(&request));
    {
        StackResFileCurrent stackFile;
        GatherLinksForCopy(0, 0, &chain, false);
    }
    held = HeldLinks(&chain);
    ASSERT_EQ(held.size(), 1u) << "\"dog\" is on disk";
    EXPECT_EQ(held[0].text, "cow");
    {
        StackResFileCurrent stackFile;
        GatherLinksForCopy(0, 0, &chain, true);
    }
    EXPECT_EQ(HeldLinks(&chain).size(), 2u) << "an import takes them all";
    CloseLinkedPlugin(&page);
}

}  // namespace
