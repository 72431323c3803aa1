// The links a copy takes with it, over a stack open in the plug-in linked into this program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "graphics/palette/PaletteRemap.h"
#include "objects/text/TextLinks.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;

sb::Resource Link(uint16_t id, uint16_t fieldId, const std::string& text) {
    const sb::Object go = sb::ShapedButton(0, {}, "", 0, 0, 2);
    std::vector<uint8_t> data = sb::LinkData(text, {}, &go);
    data[0] = id >> 8, data[1] = id & 0xFF, data[2] = fieldId >> 8, data[3] = fieldId & 0xFF;
    return {"Hlnk", id, text, 0, 0, data};
}

// The texts and field ids of the links gathered into a chain, newest first; the chain is freed.
std::vector<std::pair<std::string, uint16_t>> Gather(Handle card, uint16_t fieldId, bool importMode) {
    Handle chain = 0;
    {
        StackResFileCurrent stackFile;
        GatherLinksForCopy(card, fieldId, &chain, importMode);
    }
    std::vector<std::pair<std::string, uint16_t>> links;
    for (Handle h = chain; h;) {
        HeldResource held{};
        std::memcpy(&held, HandleLock(h).get(), sizeof held);
        HandleLock data(held.request.data);
        if (const std::optional<LinkFields> link = ReadLinkFields(data.bytes()); link && held.request.type == kHlnk)
            links.emplace_back(std::string(link->text), link->fieldId);
        h = held.next;
    }
    FreeResourceEntryChain(&chain, true);
    return links;
}

class TextLinksCopy : public LinkedPluginTest {};

TEST_F(TextLinksCopy, AFieldsLinksByItsPairsAndWordsAllFieldsLinksUnlessOnDisk) {
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 100;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(200, 100, 8, 1));
    card.objects = {sb::TextField(21, {10, 10, 190, 60}, "Words", "a cat sat on the concat")};
    stack.cards = {card};
    stack.resources = {Link(101, 21, "cat"), Link(102, 21, "con"), Link(103, 0, "dog"), Link(104, 9, "cat")};
    ASSERT_TRUE(Open(stack));

    // The copy's pairs map field 21 to itself and 9 elsewhere; "con" stands in no whole word.
    const uint16_t pairs[] = {21, 21, 9, 78};
    const Handle table = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(pairs), sizeof pairs});
    SetColorRemapTable(table, 2);
    EXPECT_EQ(Gather(GetCurrentCardRecord(), 21, false), (std::vector<std::pair<std::string, uint16_t>>{{"cat", 21}}));
    SetColorRemapTable(0, 0);
    DisposeHandle(table);

    // A new link of all fields whose text has the length of the one on disk still travels.
    std::vector<uint8_t> action(kButtonHeaderBytes, 0);
    SetU32(action, kObjectLength, kButtonHeaderBytes);
    ResRequest request{};
    request.type = kHlnk;
    request.data = NewHandleFromBytes(BuildLinkRecord(0, 0, "cow", true, action));
    request.flags = kResRequestCarryOut;
    ASSERT_TRUE(WriteStackResource(&request));
    EXPECT_EQ(Gather(0, 0, false), (std::vector<std::pair<std::string, uint16_t>>{{"cow", 0}})) << "\"dog\" is on disk";
    EXPECT_EQ(Gather(0, 0, true).size(), 2u) << "an import takes them all";
}

}  // namespace
