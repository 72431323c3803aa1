// Builder-made graphic objects as the stack report describes them: pictures of 8, 16 and 32 bits
// in raw rows, compressed and stored row records decode to the builder's pixels; masks, file
// references and damaged records are described, never refused.
#include <string>

#include "core/memory/Crc32.h"
#include "stack/cards/StackDescribe.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

class GraphicDescriptionTest : public StackFileTest {};

// What the description's crc32 covers: each row's pixel bytes, top row first, as stored.
uint32_t PixelCrc(const sb::Picture& p) {
    const std::vector<uint8_t> rows = sb::MacRows(p);
    const size_t rowBytes = sb::MacRowBytes(p.width, p.depth);
    const size_t pixelBytes = (size_t(p.width) * size_t(p.depth) + 7) / 8;
    uint32_t crc = 0;
    for (int y = 0; y < p.height; ++y)
        crc = Crc32(std::span<const uint8_t>(rows).subspan(rowBytes * size_t(y), pixelBytes), crc);
    return crc;
}

std::string Decoded(const sb::Picture& p, bool packed) {
    return "\"picture\":{\"decoded\":true,\"width\":" + std::to_string(p.width) + ",\"height\":" + std::to_string(p.height) +
           ",\"depth\":" + std::to_string(p.depth) + ",\"packed\":" + (packed ? "true" : "false") +
           ",\"crc32\":" + std::to_string(PixelCrc(p)) + "}";
}

sb::Object PictureGraphic(uint16_t id, const sb::Picture& p, sb::GraphicRows rows) {
    sb::Object g = sb::Graphic(id, {0, 0, int16_t(p.width), int16_t(p.height)}, "g");
    g.mask.clear();
    sb::SetGraphicPicture(g, p, rows);
    return g;
}

TEST_F(GraphicDescriptionTest, PicturesMasksAndFilesOfEveryForm) {
    const sb::Picture raw8 = sb::GradientPicture(13, 5, 8);
    const sb::Picture packed16 = sb::GradientPicture(20, 6, 16);
    const sb::Picture stored32 = sb::GradientPicture(9, 4, 32);
    const sb::Picture packed32 = sb::GradientPicture(40, 12, 32);

    sb::Object masked = PictureGraphic(2, packed16, sb::GraphicRows::Packed);
    masked.mask = sb::PackedMaskBlock(20, 6, [](int x, int) { return x < 5; });
    masked.words.push_back({16, 3});
    masked.words.push_back({24, 7});
    masked.words.push_back({74, 50});
    sb::Object framed = PictureGraphic(4, packed32, sb::GraphicRows::Packed);
    sb::Object disk = sb::Graphic(5, {0, 0, 30, 20}, "disk");
    sb::SetGraphicFile(disk, "C:\\pics\\a.bmp", {4, 6, 34, 26});
    sb::Object noNul = sb::Graphic(6, {0, 0, 30, 20}, "bad");
    noNul.mask.clear();
    noNul.flags = 0x40;
    noNul.data = {'C', ':', '\\', 'a', 'b', '.', 'b', 'm', 'p', 'x'};
    sb::Object cut = PictureGraphic(7, packed16, sb::GraphicRows::Packed);
    cut.data.resize(8);
    sb::Object plain = sb::Graphic(8, {0, 0, 3, 2}, "plain");

    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    s.cards[0].objects = {PictureGraphic(1, raw8, sb::GraphicRows::Raw), masked,
                          PictureGraphic(3, stored32, sb::GraphicRows::PackedStored), framed, disk, noNul, cut, plain};
    const std::string json = DescribeStackJson(sb::BuildStack(s).bytes, StackConversion{});
    EXPECT_NE(json.find("\"refusal\":null"), std::string::npos) << json;

    // The record and data of each object, in list order.
    std::vector<std::string> objects;
    for (size_t at = json.find("{\"kind\":16"); at != std::string::npos; at = json.find("{\"kind\":16", at + 1))
        objects.push_back(json.substr(at, json.find("{\"kind\":16", at + 1) - at));
    ASSERT_EQ(objects.size(), 8u) << json;
    auto has = [&](size_t i, const std::string& text) {
        EXPECT_NE(objects[i].find(text), std::string::npos) << "object " << i + 1 << " lacks " << text << "\n" << objects[i];
    };
    has(0, Decoded(raw8, false));
    has(0, "\"pictureFlags\":0,");
    has(0, "\"mask\":null,\"file\":null");
    has(1, Decoded(packed16, true));
    has(1, "\"frameWidth\":3,\"frameColor\":7,\"pictureFlags\":18,\"depth\":16,\"transparency\":50,\"layout\":true");
    has(1, "\"maskLength\":" + std::to_string(masked.mask.size()));
    has(1, "\"mask\":{\"decoded\":true,\"width\":20,\"height\":6,\"white\":30}");
    has(2, Decoded(stored32, true));
    has(3, Decoded(packed32, true));
    has(4, "\"picture\":null");
    has(4, "\"file\":\"C:\\\\pics\\\\a.bmp\"");
    has(4, "\"mask\":{\"decoded\":true,\"width\":30,\"height\":20,\"white\":600}");
    has(5, "\"file\":{\"refused\":\"no NUL inside the data\"}");
    has(6, "\"picture\":{\"decoded\":false,\"reason\":\"rows too short for the picture\"}");
    has(7, "\"picture\":{\"decoded\":false,\"reason\":\"picture size out of range\"}");
    has(7, "\"mask\":{\"decoded\":true,\"width\":3,\"height\":2,\"white\":6}");
}

// The record lengths the builder writes by the mask rule: data padded to even before a mask,
// the mask, and one pad byte (flag 0x200) when the total is odd.
TEST_F(GraphicDescriptionTest, RecordLengthsFollowTheMaskRule) {
    sb::Object g = sb::Graphic(1, {0, 0, 5, 3}, "g");
    g.data = {1, 2, 3};
    std::vector<uint8_t> record = sb::BuildObjectRecord(g);
    // 80, the data padded to 4, the 37-byte mask, the pad byte.
    EXPECT_EQ(record.size(), 80u + 4 + 37 + 1);
    EXPECT_EQ(GetBE16(record, 22), kObjectPadded);
    EXPECT_EQ(GetBE32(record, 60), 37u);
    EXPECT_EQ(GetBE16(record, 28) & 2, 2);
    EXPECT_EQ(record[80 + 3], 0);
    EXPECT_EQ(GetBE16(record, 80 + 4), 5);
    g.mask.clear();
    record = sb::BuildObjectRecord(g);
    EXPECT_EQ(record.size(), 84u) << "without a mask: the data and a pad byte";
    EXPECT_EQ(GetBE16(record, 22), kObjectPadded);
    EXPECT_EQ(GetBE32(record, 60), 0u);
    EXPECT_EQ(GetBE16(record, 28) & 2, 0);
    g.data.push_back(4);
    record = sb::BuildObjectRecord(g);
    EXPECT_EQ(record.size(), 84u);
    EXPECT_EQ(GetBE16(record, 22), 0) << "an even total keeps no pad byte";
}

}  // namespace
