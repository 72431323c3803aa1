// A graphic record's parts by the one mask rule: where the mask starts (after +64 and the pad),
// the file reference that must end inside the data, and the record written back.
#include <gtest/gtest.h>

#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(uint16_t flags) {
    Bytes h(kGraphicHeaderBytes, 0);
    SetU16(h, kObjectKind, kObjectGraphic);
    SetU16(h, kObjectFlags, flags);
    SetU16(h, kGraphicColor, 3);
    SetU16(h, kGraphicPictureFlags, kGraphicRowsPacked);
    SetU16(h, 74, 50);
    return h;
}

TEST(GraphicRecordTest, MaskRuleWritingAndFileReference) {
    // Odd data with a mask: the data is padded to even, the mask follows, the total pad byte.
    const Bytes data = {1, 2, 3};
    const Bytes mask = {0, 4, 0, 2, 0, 0, 0, 0, 0xAA};
    Bytes r = BuildGraphicRecord(Header(kObjectLocked), data, mask);
    ASSERT_EQ(r.size(), 80u + 4 + 9 + 1);
    EXPECT_EQ(GetU32(r, kObjectLength), r.size());
    EXPECT_EQ(GetU16(r, kObjectFlags), kObjectLocked | kObjectPadded);
    EXPECT_EQ(GetU16(r, kGraphicPictureFlags), kGraphicRowsPacked | kGraphicHasMask);
    EXPECT_EQ(GetU32(r, kGraphicTrailerLength), 9u);
    EXPECT_EQ(GetU32(r, kGraphicAfterMask), 0u);
    EXPECT_EQ(GetU16(r, 74), 50) << "other fields stay";
    GraphicRecordLayout layout;
    ASSERT_TRUE(ReadGraphicRecordLayout(r, layout));
    EXPECT_EQ(Bytes(layout.data.begin(), layout.data.end()), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(Bytes(layout.mask.begin(), layout.mask.end()), mask);

    // Without a mask: the data and one pad byte; an even total clears a stale pad flag.
    r = BuildGraphicRecord(Header(kObjectPadded), data, {});
    EXPECT_EQ(r.size(), 84u);
    EXPECT_EQ(GetU16(r, kObjectFlags), kObjectPadded);
    EXPECT_EQ(GetU16(r, kGraphicPictureFlags), kGraphicRowsPacked);
    r = BuildGraphicRecord(Header(kObjectPadded), Bytes{1, 2}, {});
    EXPECT_EQ(r.size(), 82u);
    EXPECT_EQ(GetU16(r, kObjectFlags), 0);

    // The mask is found before +64's bytes and the pad.
    Bytes after = BuildGraphicRecord(Header(0), Bytes{7, 7}, Bytes{0, 1, 0, 1, 0, 0, 0, 0});
    after.insert(after.end(), {9, 9, 9, 9});
    SetU32(after, kGraphicAfterMask, 4);
    SetU32(after, kObjectLength, static_cast<uint32_t>(after.size()));
    ASSERT_TRUE(ReadGraphicRecordLayout(after, layout));
    EXPECT_EQ(layout.data.size(), 2u);
    EXPECT_EQ(layout.mask.size(), 8u);
    EXPECT_EQ(layout.mask[1], 1);
    SetU32(after, kGraphicAfterMask, 90);
    EXPECT_FALSE(ReadGraphicRecordLayout(after, layout)) << "lengths past the record";

    // A disk-based path counts only when its NUL lies in the data, before the mask.
    const Bytes path = {'C', ':', '\\', 'a', '.', 'b', 'm', 'p', 0, 0};
    r = BuildGraphicRecord(Header(kObjectHasPath), path, {});
    ASSERT_TRUE(ReadGraphicRecordLayout(r, layout));
    EXPECT_EQ(layout.fileReference, "C:\\a.bmp");
    r = BuildGraphicRecord(Header(kObjectHasPath), Bytes{'C', ':', '\\', 'a'}, Bytes{0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(ReadGraphicRecordLayout(r, layout));
    EXPECT_TRUE(layout.fileReference.empty()) << "the mask's zeros do not end the path";
    r = BuildGraphicRecord(Header(0), path, {});
    ASSERT_TRUE(ReadGraphicRecordLayout(r, layout));
    EXPECT_TRUE(layout.fileReference.empty()) << "not disk based";
}

}  // namespace
