// Resource upkeep: which resources a purge keeps, held copies stored with their ids remapped,
// the workspace resource and closing.
#include "stack/StackUpcalls.h"
#include "tests/stack/SaveTestUtil.h"

namespace {

using namespace savetest;

constexpr char kPath[] = "C:\\Stacks\\Res.stk";

std::vector<uint8_t> Data(uint8_t value, size_t n = 8) { return std::vector<uint8_t>(n, value); }

// A button that plays sound (or stroke) id through a chunk 83.
sb::Object SoundButton(uint16_t id, uint16_t soundId, bool stroke) {
    sb::Object b = sb::Button(id, {1, 1, 20, 20}, "snd");
    b.words = {{20, 0x04}};
    b.chunks.push_back({83, 0, {}, 0, {{16, soundId}, {24, uint16_t(stroke ? 0x8000 : 0)}}, {}, {}});
    return b;
}

// What survives in the stack's resource file, as "type id".
std::vector<std::string> Live() {
    std::vector<std::string> out;
    for (const ResEntry& e : CopyResEntries(FindResFile(GetStackResFile())))
        if (!(e.attributes & kResDeleted)) {
            const char t[5] = {char(e.type >> 24), char(e.type >> 16), char(e.type >> 8), char(e.type), 0};
            out.push_back(std::string(t) + " " + std::to_string(e.id));
        }
    return out;
}

class ResourceUpkeepTest : public SaveSessionTest {};

TEST_F(ResourceUpkeepTest, PurgeKeepsWhatIsReferredToAndWhatBelongsToAModule) {
    sb::Stack s;
    s.cardWidth = 64;
    s.cardHeight = 32;
    s.closingAction = 11;
    s.cursorId = 40;
    sb::Card card = sb::PlainCard(1);
    card.actions = {0, 12, 0};
    card.objects.push_back(SoundButton(1, 20, false));
    card.objects.push_back(SoundButton(2, 21, true));
    sb::Object icon = sb::Button(3, {1, 1, 9, 9}, "icon");
    icon.words = {{64, 0x10}, {78, 30}};
    card.objects.push_back(icon);
    sb::Object deleted = sb::Button(4, {1, 1, 9, 9}, "gone");
    deleted.flags = kObjectDeletedFlag;
    deleted.words = {{64, 0x10}, {78, 31}};
    card.objects.push_back(deleted);
    sb::Object graphic = sb::Graphic(5, {1, 1, 9, 9}, "g");
    graphic.words = {{56, 13}};
    card.objects.push_back(graphic);
    s.cards.push_back(card);
    // An action whose button names a cursor; a link whose button names an icon.
    sb::Object actionButton = sb::Button(0, {0, 0, 5, 5}, "a");
    actionButton.words = {{80, 41}};
    sb::Object linkButton = sb::Button(0, {0, 0, 5, 5}, "l");
    linkButton.words = {{64, 0x10}, {78, 32}};
    s.resources = {
        {"Actn", 11, "", 0, 0, sb::ActionRecord(actionButton)},
        {"Actn", 50, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 5, 5}, "x"))},  // two unused
        {"Actn", 51, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 5, 5}, "y"))},  // in a row
        {"Actn", 12, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 5, 5}, "z"))},
        {"Actn", 13, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 5, 5}, "w"))},
        {"Hlnk", 60, "", 0, 0, sb::LinkData("word", {}, &linkButton)},
        {"Icon", 30, "", 0, 0, Data(1)},
        {"Icon", 31, "", 0, 0, Data(2)},  // only a deleted button uses it
        {"Icon", 32, "", 0, 0, Data(3)},
        {"Snd ", 20, "", 0, 0, Data(4)},
        {"Snd ", 21, "", 0, 0, Data(5)},  // referred to as a stroke only
        {"Strk", 21, "", 0, 0, Data(6)},
        {"Snd ", 22, "Mover@voice", 0, 0, Data(7)},
        {"Snd ", 23, "Mover", 0, 0, Data(7)},
        {"Snd ", 24, "Moverish", 0, 0, Data(7)},
        {"NBAs", 70, "Mover", 0, 0, Data(8)},  // no button uses the module itself
        {"QTFX", 80, "", 0, 0, Data(9)},
        {"Crsr", 40, "", 0, 0, Data(10)},
        {"Crsr", 41, "", 0, 0, Data(10)},
        {"Crsr", 42, "", 0, 0, Data(10)},
    };
    Open(kPath, sb::BuildStack(s).bytes);
    PurgeUnusedResources();
    EXPECT_EQ(Live(), (std::vector<std::string>{"Actn 11", "Actn 12", "Actn 13", "Hlnk 60", "Icon 30", "Icon 32",
                                                "Snd  20", "Strk 21", "Snd  22", "Snd  23", "Crsr 40", "Crsr 41"}));

    // An effect button keeps every 'QTFX'; flag 0x01 keeps everything.
    CloseStack();
    sb::Object effect = sb::Button(9, {1, 1, 9, 9}, "fx");
    effect.words = {{20, 0x20}, {18, 27}};
    s.cards[0].objects.push_back(effect);
    s.flags = kStackKeepResources;
    Open(kPath, sb::BuildStack(s).bytes);
    const std::vector<std::string> all = Live();
    PurgeUnusedResources();
    EXPECT_EQ(Live(), all) << "flag 0x01 keeps unused resources";
    {
        HandleLock lock(GetStackHeaderHandle());
        SetU16({lock.get(), kStackHeaderBytes}, kHeaderFlags, 0);
    }
    PurgeUnusedResources();
    const std::vector<std::string> kept = Live();
    EXPECT_NE(std::find(kept.begin(), kept.end(), "QTFX 80"), kept.end());
    EXPECT_EQ(std::find(kept.begin(), kept.end(), "Icon 31"), kept.end());
}

TEST_F(ResourceUpkeepTest, HeldCopiesArriveWithTheirSoundsRemapped) {
    EXPECT_EQ(RemapId(77), 77) << "never remapped";
    sb::Stack source;
    source.cardWidth = 64;
    source.cardHeight = 32;
    source.cards.push_back(sb::PlainCard(1));
    sb::Object playing = SoundButton(0, 5, false);
    source.resources = {
        {"Snd ", 5, "tune", 0, 0, Data(0x11, 12)},
        {"Actn", 6, "play", 0, 0, sb::ActionRecord(playing)},
        {"Icon", 7, "pic", 0, 0, Data(0x22)},
    };
    Open("C:\\Stacks\\From.stk", sb::BuildStack(source).bytes);
    Handle chain = 0;
    ASSERT_EQ(HoldResourceCopy(ResType("Snd "), 5, &chain, 0), 0);
    ASSERT_EQ(HoldObjectResourceCopy(ResType("Actn"), 6, &chain, 0, kObjectGraphic, 3), 0);
    ASSERT_EQ(HoldResourceCopy(ResType("Icon"), 7, &chain, 0), 0);
    EXPECT_EQ(HoldResourceCopy(ResType("Icon"), 99, &chain, 0), -1) << "absent: chain unchanged";
    CloseStack();

    // The target already has a different sound 5 and a graphic 3 that owns the action.
    sb::Stack target;
    target.cardWidth = 64;
    target.cardHeight = 32;
    sb::Card card = sb::PlainCard(1);
    card.objects.push_back(sb::Graphic(3, {1, 1, 9, 9}, "owner"));
    target.cards.push_back(card);
    target.resources = {{"Snd ", 5, "other", 0, 0, Data(0x33, 12)}, {"Actn", 6, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 5, 5}, "q"))}};
    Open(kPath, sb::BuildStack(target).bytes);
    StoreHeldResourcesRemapped(chain);
    FreeResourceEntryChain(&chain, true);
    EXPECT_EQ(chain, 0);

    const std::vector<std::string> live = Live();
    ASSERT_EQ(live.size(), 5u);
    const uint16_t newSound = GetNamedResourceId(ResType("Snd "), reinterpret_cast<const uint8_t*>("\x04tune"));
    EXPECT_NE(newSound, 0);
    EXPECT_NE(newSound, 5) << "the taken id is not reused";
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Snd "), newSound)), Data(0x11, 12));
    const uint16_t newAction = GetNamedResourceId(ResType("Actn"), reinterpret_cast<const uint8_t*>("\x04play"));
    ASSERT_NE(newAction, 0);
    EXPECT_NE(newAction, 6);
    const std::vector<uint8_t> action = HandleToBytes(GetResource(ResType("Actn"), newAction));
    const auto chunks = ButtonChunks(action);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(GetU16(chunks[0], 16), newSound) << "the chunk 83 follows its sound";
    EXPECT_EQ(GetU16({GetObjectPtr(kObjectGraphic, 3), 80}, 56), newAction) << "the owner points at the action";
    EXPECT_NE(std::find(live.begin(), live.end(), "Icon 7"), live.end());
}

TEST_F(ResourceUpkeepTest, WorkspaceIsStoredWhenChangedAndClosingForgetsTheFile) {
    const StackUpcalls previous = GetStackUpcalls();
    StackUpcalls n = previous;
    n.produceWorkspace = []() -> Handle { return NewHandleFromBytes(std::vector<uint8_t>{'t', 'o'}); };
    SetStackUpcalls(n);
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    Open(kPath, sb::BuildStack(s).bytes);
    SaveWorkspaceResource();
    EXPECT_EQ(GetResource(ResType("WKSp"), 128), 0) << "unchanged: nothing stored";
    SetWorkspaceChanged(true);
    SaveWorkspaceResource();
    EXPECT_FALSE(IsWorkspaceChanged());
    EXPECT_EQ(HandleToBytes(GetResource(ResType("WKSp"), 128)), (std::vector<uint8_t>{'t', 'o'}));
    CloseStackResources(nullptr);
    EXPECT_EQ(GetStackResFile(), 0);
    SetStackUpcalls(previous);
}

}  // namespace
