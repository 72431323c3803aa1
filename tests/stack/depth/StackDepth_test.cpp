// Card size and colour depth: objects scaled and centred, the depth rule against the display,
// the plan of a size change, and the header of a new stack.
#include "graphics/masks/PackedMask.h"
#include "stack/StackUpcalls.h"
#include "stack/pictures/GraphicPicture.h"
#include "tests/stack/SaveTestUtil.h"

namespace {

using namespace savetest;

class StackDepthTest : public SaveSessionTest {};

std::vector<int16_t> RectOf(std::span<const uint8_t> object) {
    return {GetI16(object, 4), GetI16(object, 6), GetI16(object, 8), GetI16(object, 10)};
}

TEST_F(StackDepthTest, ObjectsAreScaledOrCentredWithTheirChunks) {
    sb::Stack s;
    s.cardWidth = 400;
    s.cardHeight = 300;
    sb::Card card = sb::PlainCard(1);
    sb::Object button = sb::Button(1, {101, 51, 201, 151}, "b");
    button.chunks.push_back({56, 0, {11, 21, 31, 41}, 0, {}, {}, std::vector<uint8_t>(20, 0)});
    button.chunks.push_back({51, 0, {11, 21, 31, 41}, 0, {{16, 3}}, {}, {}});
    // A freeform button (shape 5) with a 2 x 2 mask whose left column is white.
    button.words = {{60, 5}};
    std::vector<uint8_t> mask(24 + 8 + 1, 0);
    mask[1] = 2;  // width and height, big-endian in the file
    mask[3] = 2;
    mask[24] = mask[28] = 0x80;
    button.chunks.push_back({130, 0, {}, 0, {}, {}, mask});
    card.objects.push_back(button);
    // A 4 x 2 picture of 8-bit stored rows (16 bytes each); pixel (x, y) is 10 y + x.
    sb::Object graphic = sb::Graphic(2, {101, 51, 201, 151}, "g");
    graphic.words = {{28, 0}, {30, 0}, {32, 0}, {34, 2}, {36, 4}, {54, 8}};
    graphic.data.assign(32, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            graphic.data[size_t(y) * 16 + x] = uint8_t(10 * y + x);
    card.objects.push_back(graphic);
    card.objects.push_back(sb::TextField(3, {-10, 0, 100, 8}, "t", "x"));
    s.cards.push_back(card);
    Open("C:\\S\\size.stk", sb::BuildStack(s).bytes);
    const Handle record = GetCardByIndex(1);

    ASSERT_EQ(ResizeCardObjects(record, 1, 200, 150), 0);
    auto objects = CardObjects(HandleToBytes(record));
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(RectOf(objects[0]), (std::vector<int16_t>{50, 25, 100, 75}));
    EXPECT_EQ(RectOf(objects[1]), (std::vector<int16_t>{50, 25, 100, 75}));
    // The graphic's picture is stretched to 50 x 50 with it.
    GraphicPictureView view;
    ASSERT_EQ(ReadGraphicPicture(objects[1], view), GraphicPictureRefusal::None);
    EXPECT_EQ(view.width, 50);
    EXPECT_EQ(view.height, 50);
    EXPECT_TRUE(view.packedRows);
    const DibHandle stretched = GraphicPictureToDib(view);
    {
        LockedDib dib(stretched);
        ASSERT_TRUE(dib);
        for (int y : {0, 24, 25, 49})
            for (int x : {0, 12, 13, 37, 49})
                EXPECT_EQ(dib.row(y)[x], 10 * (y * 2 / 50) + x * 4 / 50) << x << "," << y;
    }
    DisposeHandle(stretched);
    EXPECT_EQ(RectOf(objects[2]), (std::vector<int16_t>{-5, 0, 50, 4}));
    const auto chunks = ButtonChunks(objects[0]);
    EXPECT_EQ(RectOf(chunks[0]), (std::vector<int16_t>{5, 10, 15, 20})) << "chunk 56 follows";
    EXPECT_EQ(RectOf(chunks[1]), (std::vector<int16_t>{11, 21, 31, 41})) << "chunk 51 has no rectangle";
    ASSERT_EQ(chunks.size(), 3u);
    MaskBits stretchedMask;
    uint16_t first = 0, second = 0;
    ASSERT_EQ(ReadPackedMaskBits(std::span(chunks[2]).subspan(32), &stretchedMask, &first, &second),
              PackedMaskRefusal::None);
    EXPECT_EQ(stretchedMask.width(), 50);
    EXPECT_EQ(stretchedMask.height(), 50);
    EXPECT_EQ(stretchedMask.CountSet(), 25 * 50) << "the left half stays white";
    EXPECT_TRUE(stretchedMask.Get(24, 49));
    EXPECT_FALSE(stretchedMask.Get(25, 0));

    // Centring: the card grows by 100 x 40, every object moves by 50 x 20 and keeps its size.
    {
        HandleLock lock(record);
        SetU16(lock.bytes(), kCardWidth, 200);
        SetU16(lock.bytes(), kCardHeight, 150);
    }
    ASSERT_EQ(ResizeCardObjects(record, 0, 300, 190), 0);
    objects = CardObjects(HandleToBytes(record));
    EXPECT_EQ(RectOf(objects[0]), (std::vector<int16_t>{100, 45, 150, 95}));

    // A record laid out for no size: nothing is divided by it.
    {
        HandleLock lock(record);
        SetU16(lock.bytes(), kCardWidth, 0);
        SetU16(lock.bytes(), kCardHeight, 0);
    }
    ASSERT_EQ(ResizeCardObjects(record, 1, 300, 190), 0);
    EXPECT_EQ(RectOf(CardObjects(HandleToBytes(record))[0]), (std::vector<int16_t>{100, 45, 150, 95}));
    EXPECT_EQ(ScaleCoordinate(7, 0, 100), 7);
    EXPECT_EQ(ScaleCoordinate(-7, 2, 1), -3) << "truncated toward zero";

    // ConvertAllCards resizes a record of another size and gives it and the header the size.
    ConvertAllCards(8, 8, 100, 75);
    const std::vector<uint8_t> converted = HandleToBytes(record);
    EXPECT_EQ(GetU16(converted, kCardWidth), 100);
    EXPECT_EQ(GetU16(converted, kCardHeight), 75);
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 75);

    // A record laid out for a 10 x 10 card scaled to 2000 x 2000: the rectangles grow past any
    // card, and the graphic's picture and the button's mask are kept as they are, not stretched.
    const std::vector<uint8_t> pictureBefore = CardObjects(converted)[1];
    const std::vector<uint8_t> maskBefore = ButtonChunks(CardObjects(converted)[0])[2];
    {
        HandleLock lock(record);
        SetU16(lock.bytes(), kCardWidth, 10);
        SetU16(lock.bytes(), kCardHeight, 10);
    }
    ASSERT_EQ(ResizeCardObjects(record, 1, 2000, 2000), 0);
    objects = CardObjects(HandleToBytes(record));
    const std::vector<int16_t> grown = RectOf(objects[1]);
    EXPECT_GT(grown[2] - grown[0], kMaxCardExtent);
    EXPECT_TRUE(std::equal(objects[1].begin() + 12, objects[1].end(), pictureBefore.begin() + 12,
                           pictureBefore.end()))
        << "the graphic keeps its picture";
    EXPECT_EQ(ButtonChunks(objects[0])[2], maskBefore) << "the button keeps its mask";
}

TEST_F(StackDepthTest, TheDepthRuleAndTheSizeChangePlan) {
    sb::Stack s;
    s.depth = 32;
    s.cards.push_back(sb::PlainCard(1));
    SaveRec().display = 24;
    Open("C:\\S\\deep.stk", sb::BuildStack(s).bytes);
    EXPECT_EQ(GetScreenDepth(), 32);
    EXPECT_EQ(CheckStackDepthAgainstDisplay(), 1);
    EXPECT_TRUE(SaveRec().alerts.empty()) << "32 bits on a 24-bit display is kept";

    SaveRec().display = 16;
    EXPECT_EQ(CheckStackDepthAgainstDisplay(), 1);
    EXPECT_EQ(SaveRec().alerts, (std::vector<uint32_t>{kAlertReduceColors}));
    EXPECT_EQ(GetScreenDepth(), 16);
    EXPECT_EQ(GetStackDepth(), 16);
    EXPECT_EQ(GetU16(HandleToBytes(GetStackHeaderHandle()), kHeaderDepth), 16);

    const StackSizeChange same = PlanStackSizeChange(512, 384, 8, 512, 384, 8, 32, 1000);
    EXPECT_TRUE(same.unchanged);
    const StackSizeChange kept = PlanStackSizeChange(512, 384, 32, 256, 384, 32, 24, 1000);
    EXPECT_EQ(kept.newDepth, 32) << "24 counts as 32";
    EXPECT_EQ(kept.memoryToTry, 500u) << "|(0.5 - 1) x 1000|";
    const StackSizeChange clamped = PlanStackSizeChange(512, 384, 8, 512, 384, 32, 16, 1000);
    EXPECT_EQ(clamped.newDepth, 16);
    EXPECT_EQ(clamped.memoryToTry, 1000u);
    const StackSizeChange empty = PlanStackSizeChange(0, 384, 8, 512, 384, 8, 16, 1000);
    EXPECT_FALSE(empty.unchanged);
    EXPECT_EQ(empty.memoryToTry, 1000u) << "no ratio from an empty card";
}

TEST_F(StackDepthTest, NewHeadersAndObjectIds) {
    SetScreenDepth(16);
    ProgramStackSettings() = StackProgramSettings{};
    ProgramStackSettings().stackSetting = true;
    ProgramStackSettings().windowMode = 2;
    ProgramStackSettings().screenModeFlags = 6;
    ProgramStackSettings().titleWord = 1;
    const Handle first = NewStackHeader();
    const std::vector<uint8_t> h = HandleToBytes(first);
    ASSERT_EQ(h.size(), kStackHeaderBytes);
    const std::pair<uint32_t, uint16_t> fields[] = {
        {kHeaderVersion, 5}, {kHeaderNextObjectId, 1}, {kHeaderNextCardId, 1}, {kHeaderDepth, 16},
        {kHeaderCardNumberInTitle, 0},  // the first stack of a run
        {kHeaderWord22, 1}, {kHeaderTimersAndLinks, 1}, {kHeaderPresentationMode, 2}, {kHeaderPresentation54, 6},
        {kHeaderCardWidth, 512}, {kHeaderCardHeight, 384}, {kHeaderFlags, kStackIgnoreExtraClicks | kStackHighCompression},
    };
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(GetU16(h, offset), value) << "offset " << offset;
    const Handle secondHeader = NewStackHeader();
    const std::vector<uint8_t> second = HandleToBytes(secondHeader);
    DisposeHandle(secondHeader);
    EXPECT_EQ(GetU16(second, kHeaderCardNumberInTitle), 1);
    EXPECT_EQ(GetU16(second, kHeaderWord22), 0);

    SetStackHeaderHandle(first);
    EXPECT_EQ(NewUniqueObjectId(), 1);
    EXPECT_EQ(NewUniqueObjectId(), 2);
    SetAdvancedUser(true);
    SetScreenDepth(8);
    const Handle plain = NewStackHeader();
    EXPECT_EQ(GetU16(HandleToBytes(plain), kHeaderExperiencedUser), 1);
    EXPECT_EQ(GetU16(HandleToBytes(plain), kHeaderFlags), kStackIgnoreExtraClicks);
    DisposeHandle(plain);
}

}  // namespace

namespace {

TEST_F(StackDepthTest, StartingANewStackReplacesTheOpenOne) {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(7));
    s.resources.push_back({"Snd ", 3, "", 0, 0, std::vector<uint8_t>(4, 1)});
    Open("C:\\S\\old.stk", sb::BuildStack(s).bytes);
    ASSERT_NE(GetStackResFile(), 0);

    Rec().offscreen = PatternOffscreen(16, 8);
    SetScreenDepth(8);
    ProgramStackSettings() = StackProgramSettings{};
    const StackUpcalls previous = GetStackUpcalls();
    StackUpcalls n = previous;
    static void (*otherEvents)(StackEvent) = nullptr;
    static int pushes = 0;
    otherEvents = previous.stackEvent;
    pushes = 0;
    // The history is the player's: here it is only counted.
    n.stackEvent = [](StackEvent event) {
        if (event == StackEvent::NamingUntitled)
            StoreStackName("Untitled");
        else if (event == StackEvent::PushingCardHistory)
            ++pushes;
        else
            otherEvents(event);
    };
    const UiOps previousUi = GetUiOps();
    UiOps ui = previousUi;
    static int (*otherAlerts)(uint32_t) = nullptr;
    otherAlerts = previousUi.showAlert;
    ui.showAlert = [](uint32_t id) {
        if (id != kAlertNewStackCreated)
            return otherAlerts(id);
        SaveRec().alerts.push_back(id);
        return 1;
    };
    n.askCardSizeForNewStack = [](int* w, int* h, int* d) {
        *w = 16;
        *h = 8;
        *d = 8;
        return 0;
    };
    SetStackUpcalls(n);
    SetUiOps(ui);
    int width = 0, height = 0, depth = 0;
    EXPECT_EQ(StartStack(true, &width, &height, &depth), 0);
    EXPECT_EQ(GetStackResFile(), 0) << "the old stack's resources are closed";
    EXPECT_EQ(pushes, 1) << "the card left goes into the history";
    EXPECT_EQ(CountCards(), 1);
    EXPECT_EQ(GetCardId(GetCardByIndex(1)), 1);
    const std::vector<uint8_t> header = HandleToBytes(GetStackHeaderHandle());
    EXPECT_EQ(GetU16(header, kHeaderCardWidth), 16);
    EXPECT_EQ(GetU16(header, kHeaderCardHeight), 8);
    EXPECT_EQ(GetU16(header, kHeaderDepth), 8);
    EXPECT_EQ(GetU16(header, kHeaderPresentation54) & 1, 1);
    EXPECT_EQ(SaveRec().alerts, (std::vector<uint32_t>{kAlertNewStackCreated}));
    EXPECT_TRUE(IsStackChanged());
    EXPECT_FALSE(StackHasFile());
    // Told once per run.
    StartStack(true, nullptr, nullptr, nullptr);
    EXPECT_EQ(SaveRec().alerts.size(), 1u);
    SetStackUpcalls(previous);
    SetUiOps(previousUi);
    CloseStack();
    SetStackHeaderHandle(0);
}

}  // namespace
