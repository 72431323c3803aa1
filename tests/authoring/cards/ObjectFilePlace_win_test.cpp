// An object file placed on the card: a graphic written out with its actions comes back centred
// on the point as a new, selected object whose actions were stored again; a cut-short file
// leaves the card as it was; the sound its actions play comes along and the actions name the id
// the sound gets in the stack it is placed on; a file the stack refuses part of leaves nothing
// behind; a text object's text belongs to the card it is placed on.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "host/player/CardNavigation.h"
#include "stack/StackOpenSession.h"
#include "authoring/cards/ObjectFile.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/ResourceUpkeep.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

int CountObjects() {
    int n = 0;
    for (LayerHandle layer = GetLayerListHead(); layer; ++n)
        layer = LayerLock<>(layer)->next;
    return n;
}

class ObjectFilePlace : public LinkedPluginTest {};

TEST_F(ObjectFilePlace, AGraphicWrittenOutComesBackCentredWithItsActions) {
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
    ASSERT_TRUE(Open(stack));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "kite" + ProcessTag() + ".grfc";
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
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sound id the first sound chunk of an action record names; 0 when none.
uint16_t ActionSound(std::span<const uint8_t> action) {
    ButtonChunkWalk walk(action);
    ObjectPlace chunk;
    while (walk.Next(chunk))
        if (chunk.kind == kTagSoundResource)
            return GetU16(action, chunk.offset + kChunkValue);
    return 0;
}

TEST_F(ObjectFilePlace, TheSoundOfAPlacedGraphicsActionsIsTheOneItCarried) {
    constexpr uint16_t kSound = 7;
    const std::vector<uint8_t> chime(64, 0x80), other(32, 0x11);
    sb::Object actions = sb::Button(0, {}, "");
    actions.words = {{16, 2}, {20, static_cast<uint16_t>(kActGoTo | kActSoundResource)}};
    actions.chunks.push_back(sb::Chunk{83, 0, {0, 127, 0, 0}, 0, {{16, kSound}}, {}, {}});
    sb::Object g = sb::Graphic(5, {20, 20, 60, 40}, "Bell");
    g.words.push_back({56, 301});
    sb::Stack from = WhiteCards(2, 512, 384, {g});
    from.resources.push_back({"Actn", 301, "", 0, 0, sb::ActionRecord(actions)});
    from.resources.push_back({"Snd ", kSound, "chime", 0, 0, chime});
    // The stack it goes to has a sound of its own under the same id.
    sb::Stack to = WhiteCards(2, 512, 384, {});
    to.resources.push_back({"Snd ", kSound, "thud", 0, 0, other});

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string tag = ProcessTag();
    const std::string path = std::string(temp) + "bell" + tag + ".grfc";
    std::vector<uint8_t> file;
    ASSERT_TRUE(Open(from));
    ASSERT_EQ(WriteObjectFile({kObjectGraphic, 5, 301}, path.c_str()), 1);
    file = ReadBytes(path);
    DeleteFileA(path.c_str());
    CloseLinkedPlugin(&page);
    ObjectFileLayout layout;
    ASSERT_EQ(ParseObjectFile(file, layout), nullptr);
    bool keptId = false;
    for (const ObjectFileEntry& entry : layout.entries)
        keptId = keptId || (entry.type == ResType("Snd ") && entry.id == kSound);
    EXPECT_TRUE(keptId) << "the file keeps the sound's id";

    ASSERT_TRUE(Open(to));
    ASSERT_TRUE(PlaceObjectFileAtPoint(file, 200, 150));
    const LayerHandle placed = GetSelectedObject();
    ASSERT_NE(placed, nullptr);
    uint16_t action = 0;
    {
        LayerLock<GraphicLayer> layer(placed);
        action = layer->objectWord;
    }
    ASSERT_NE(action, 0);
    const Handle loaded = LoadActionResource(action);
    const std::vector<uint8_t> stored = HandleToBytes(loaded);
    DisposeHandle(loaded);
    const uint16_t sound = ActionSound(stored);
    ASSERT_NE(sound, 0);
    EXPECT_NE(sound, kSound) << "the stack's own sound keeps its id";
    const StackResFileCurrent current;
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Snd "), sound)), chime);
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Snd "), kSound)), other);

    // A file from before ids were kept (every id 0) still places, its actions as they stand.
    std::vector<uint8_t> idless = file;
    for (const ObjectFileEntry& entry : layout.entries) {
        idless[entry.dataOffset - kObjectFileEntryBytes + 4] = 0;
        idless[entry.dataOffset - kObjectFileEntryBytes + 5] = 0;
    }
    ASSERT_TRUE(PlaceObjectFileAtPoint(idless, 100, 100));

    // A file whose last held copy the stack refuses (a type of 0): what was stored before it
    // is taken out again, and the card is as it was.
    const int sounds = CountResources(ResType("Snd ")), actionRecords = CountResources(kActn);
    const int objects = CountObjects();
    std::vector<uint8_t> refused = file;
    refused[layout.entries.back().dataOffset - kObjectFileEntryBytes + 55] = 1;  // continued
    std::vector<uint8_t> entry(kObjectFileEntryBytes + 4, 0);
    entry[11] = 4;  // its length
    refused.insert(refused.end(), entry.begin(), entry.end());
    SetResourceErrorReporting(false);  // the refusal's own alert is not what is tested here
    EXPECT_FALSE(PlaceObjectFileAtPoint(refused, 100, 100));
    SetResourceErrorReporting(true);
    EXPECT_EQ(CountResources(ResType("Snd ")), sounds) << "the sound it stored went again";
    EXPECT_EQ(CountResources(kActn), actionRecords);
    EXPECT_EQ(CountObjects(), objects);
}

// A text object written out on the first card and placed on the second: its text is the
// second card's, shown and saved there.
TEST_F(ObjectFilePlace, APlacedTextObjectsTextBelongsToTheCardItLandsOn) {
    ASSERT_TRUE(Open(WhiteCards(2, 512, 384, {sb::TextField(5, {10, 10, 150, 60}, "Note", "carried words")})));
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "note" + ProcessTag() + ".tfld";
    ASSERT_EQ(WriteObjectFile({kObjectText, 5, 0}, path.c_str()), 1);
    const std::vector<uint8_t> file = ReadBytes(path);
    DeleteFileA(path.c_str());
    DialogDriver none;  // any dialog is a failure
    none.Run([] {
        GoToCardId(2, {0, 0, 0});
        return 0;
    });
    ASSERT_EQ(GetCurrentCardId(), 2);
    ASSERT_TRUE(none.Run([&] { return PlaceObjectFileAtPoint(file, 160, 120) ? 1 : 0; }));
    EXPECT_EQ(none.DialogsSeen(), 0);
    const LayerHandle placed = GetSelectedObject();
    ASSERT_NE(placed, nullptr);
    uint16_t id = 0;
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(placed);
        id = field->common.id;
        window = field->window;
        EXPECT_EQ(field->modified, 1);
    }
    char shown[64] = {};
    GetWindowTextA(window, shown, sizeof shown);
    EXPECT_STREQ(shown, "carried words");
    SyncCardFromLayers();
    const std::vector<uint8_t> record = OpenStackObject(2, kObjectText, id);
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(record);
    ASSERT_FALSE(entries.empty());
    for (const FieldTextEntry& e : entries)
        EXPECT_EQ(e.cardId, 2) << "the text is the second card's";
}

}  // namespace
