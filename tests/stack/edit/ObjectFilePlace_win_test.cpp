// An object file placed on the card: a graphic written out with its actions comes back centred
// on the point as a new, selected object whose actions were stored again; a cut-short file
// leaves the card as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "graphics/layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/edit/ObjectFile.h"
#include "stack/format/StackFile.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;

int CountObjects() {
    int n = 0;
    for (LayerHandle layer = GetLayerListHead(); layer; ++n)
        layer = LayerLock<>(layer)->next;
    return n;
}

TEST(ObjectFilePlace, AGraphicWrittenOutComesBackCentredWithItsActions) {
    sb::Stack stack;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(512, 384, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    sb::Object g = sb::Graphic(5, {20, 20, 60, 40}, "Kite");
    g.words.push_back({56, 301});
    card.objects.push_back(g);
    stack.cards.push_back(card);
    stack.cards.push_back(sb::PictureCard(2, sb::SolidPicture(512, 384, 8, 0)));
    sb::Object actions = sb::Button(0, {}, "");
    actions.words = {{16, 2}, {20, kActGoTo}};
    stack.resources.push_back({"Actn", 301, "", 0, 0, sb::ActionRecord(actions)});
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "place-" + std::to_string(GetCurrentProcessId()) + ".stk", &page));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kite" + std::to_string(GetCurrentProcessId()) + ".grfc";
    ASSERT_EQ(WriteObjectFile({kObjectGraphic, 5, 301}, path.c_str()), 1);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(path.c_str());
    ASSERT_GT(file.size(), kObjectFileHeaderBytes + 80u);

    const int before = CountObjects();
    const std::vector<uint8_t> cut(file.begin(), file.end() - 7);
    EXPECT_FALSE(PlaceObjectFileAtPoint(cut, 200, 150));
    EXPECT_EQ(CountObjects(), before) << "the card is unchanged";

    ASSERT_TRUE(PlaceObjectFileAtPoint(file, 200, 150));
    EXPECT_EQ(CountObjects(), before + 1);
    const LayerHandle placed = GetSelectedObject();
    ASSERT_NE(placed, nullptr);
    uint16_t id = 0, action = 0;
    {
        LayerLock<GraphicLayer> layer(placed);
        id = layer->common.id;
        action = layer->objectWord;
        EXPECT_EQ(layer->common.bounds.left, 180);
        EXPECT_EQ(layer->common.bounds.top, 140);
        EXPECT_EQ(layer->common.bounds.right, 220);
        EXPECT_EQ(layer->common.bounds.bottom, 160);
    }
    EXPECT_NE(id, 5);
    ASSERT_NE(action, 0);
    const uint8_t* record = GetObjectPtr(kObjectGraphic, id);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(GetU16({record, kGraphicHeaderBytes}, kGraphicAction), action);
    const Handle loaded = LoadActionResource(action);
    const std::vector<uint8_t> stored = HandleToBytes(loaded);
    DisposeHandle(loaded);
    ASSERT_GE(stored.size(), kButtonHeaderBytes);
    EXPECT_EQ(GetU16(stored, kButtonDestination), 2);
    EXPECT_EQ(GetU16(stored, kButtonActionFlags), kActGoTo);
    CloseLinkedPlugin(&page);
}

}  // namespace
