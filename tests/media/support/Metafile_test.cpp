// Metafile files as the reader sees them: kinds, the placeable box, the bounded word count and
// the size a picture is drawn at.
#include <gtest/gtest.h>

#include <vector>

#include "media/support/Metafile.h"
#include "tests/support/TestMetafiles.h"

namespace {

void SetU32At(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(Metafile, KindsBoxesAndBoundedWordCounts) {
    const std::vector<MetafileFill> fill = {{0, 0, 10, 10, 0xFF}};
    const std::vector<uint8_t> placeable = PlaceableMetafile(100, 100, 1540, 820, 1440, fill);
    MetafileLayout layout = ReadMetafileLayout(placeable);
    ASSERT_EQ(layout.kind, MetafileKind::Placeable);
    EXPECT_EQ(layout.left, 100);
    EXPECT_EQ(layout.bottom, 820);
    EXPECT_EQ(layout.unitsPerInch, 1440);
    EXPECT_EQ(layout.bitsOffset, kPlaceableHeaderBytes);
    EXPECT_EQ(layout.bitsSize, placeable.size() - kPlaceableHeaderBytes);

    // Without the header: the whole file at (0, 0, 150, 150), one unit per inch.
    const std::vector<uint8_t> windows = WindowsMetafile(fill);
    layout = ReadMetafileLayout(windows);
    ASSERT_EQ(layout.kind, MetafileKind::Windows);
    EXPECT_EQ(layout.right, 150);
    EXPECT_EQ(layout.unitsPerInch, 1);
    EXPECT_EQ(layout.bitsSize, windows.size());

    // " EMF" at byte 40 is enhanced, whatever else the file says.
    std::vector<uint8_t> enhanced(88, 0);
    SetU32At(&enhanced, 0, 1);
    SetU32At(&enhanced, 40, kEnhancedMetafileSignature);
    EXPECT_EQ(ReadMetafileLayout(enhanced).kind, MetafileKind::Enhanced);

    // A word count past the file's end, one below the header, a cut header, an empty box and
    // units per inch of 0.
    std::vector<uint8_t> overlong = placeable;
    SetU32At(&overlong, kPlaceableHeaderBytes + 6, static_cast<uint32_t>(placeable.size()));
    EXPECT_EQ(ReadMetafileLayout(overlong).kind, MetafileKind::None);
    SetU32At(&overlong, kPlaceableHeaderBytes + 6, 0x80000004u);  // x 2 wraps to 8 in 32 bits
    EXPECT_EQ(ReadMetafileLayout(overlong).kind, MetafileKind::None);
    SetU32At(&overlong, kPlaceableHeaderBytes + 6, 4);
    EXPECT_EQ(ReadMetafileLayout(overlong).kind, MetafileKind::None);
    EXPECT_EQ(ReadMetafileLayout(std::span(placeable).first(30)).kind, MetafileKind::None);
    EXPECT_EQ(ReadMetafileLayout(std::span(windows).first(10)).kind, MetafileKind::None);
    EXPECT_EQ(ReadMetafileLayout(PlaceableMetafile(50, 0, 50, 10, 96, fill)).kind, MetafileKind::None);
    EXPECT_EQ(ReadMetafileLayout(PlaceableMetafile(0, 0, 10, 10, 0, fill)).unitsPerInch, 1);
}

TEST(Metafile, DrawnSizesAreEvenAtLeast100AndWithinTheLimits) {
    MetafileLayout inch{MetafileKind::Placeable, 0, 0, 1440, 1440, 1440, 22, 18};
    EXPECT_EQ(MetafileBitmapSize(inch, 640, 480).width, 100) << "96 raised to 100";
    MetafileLayout wide{MetafileKind::Placeable, 100, 100, 2980, 1540, 1440, 22, 18};
    const MetafileSize drawn = MetafileBitmapSize(wide, 640, 480);
    EXPECT_EQ(drawn.width, 192);   // 2880 / 1440 x 96
    EXPECT_EQ(drawn.height, 100);  // 96 raised
    MetafileLayout odd{MetafileKind::Placeable, 0, 0, 101, 303, 96, 22, 18};
    EXPECT_EQ(MetafileBitmapSize(odd, 640, 480).width, 102);
    EXPECT_EQ(MetafileBitmapSize(odd, 640, 480).height, 304);
    MetafileLayout unplaced{MetafileKind::Windows, 0, 0, 150, 150, 1, 0, 18};
    EXPECT_EQ(MetafileBitmapSize(unplaced, 512, 342).width, 512);
    EXPECT_EQ(MetafileBitmapSize(unplaced, 512, 342).height, 342);
}

}  // namespace
